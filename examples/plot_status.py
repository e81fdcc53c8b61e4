#!/usr/bin/env python3
"""The status flags over time and a current sweep on one time axis, drawn
with matplotlib: a thread watches the status register while the main
thread steps the LED current from zero to full scale.

    PYTHONPATH=build/python examples/plot_status.py                      # simulated board, a window
    PYTHONPATH=build/python examples/plot_status.py sim status.png       # saved as a picture
    PYTHONPATH=build/python examples/plot_status.py /dev/i2c-7 status.png 2.0   # 2 s a step

matplotlib is not a dependency of the zr5130 module: sudo apt install
python3-matplotlib. On the simulated board, unless ZR5130_SIM_STATUS says
otherwise, the fault flags come and go as FAULTS has them."""
import os
import sys
import threading
import time

import zr5130

STEPS = [*range(0, 0x1000, 0x200), 0xFFF]
# Over Voltage, Open and UVLO for a while each, and VBoost OK lost once.
FAULTS = "30,30,38,38,38,30,30,B0,B0,30,30,31,31,30,30,20,20,30,30,30"
FLAGS = [field.name for field in zr5130.fields() if field.register == 0x02]
OK_FLAGS = {"VRef OK", "VBoost OK"}


def record(chip, dwell, interval=0.05):
    """Sweeps the LED current while a thread watches the status register:
    the watch's samples, and (time, LED current read back) for each step."""
    samples = []
    sweeping = threading.Event()
    sweeping.set()
    watching = threading.Event()  # the status before the first step is known

    def watch():
        try:
            for sample in chip.watch(interval=interval):
                samples.append(sample)
                watching.set()
                if not sweeping.is_set():
                    break
        finally:
            watching.set()

    watcher = threading.Thread(target=watch)
    watcher.start()
    watching.wait()
    steps = []
    try:
        for code in STEPS:
            chip.set(led_current=code)
            steps.append((time.time(), chip.get("led-current").number))
            time.sleep(dwell)  # the current settles; read a meter here
    finally:
        sweeping.clear()
        watcher.join()
    return samples, steps


def plot(samples, steps, output=None):
    """One lane per flag (a fault in red: a fault flag set, an OK flag
    cleared; a failed read is a gap), the LED current below."""
    import matplotlib
    if output:
        matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    start = min(samples[0].time, steps[0][0])
    times = [s.time - start for s in samples]
    figure, (lanes, current) = plt.subplots(2, 1, sharex=True, figsize=(8, 4.5),
                                            gridspec_kw={"height_ratios": [3, 1.4]})
    bases = range(len(FLAGS) - 1, -1, -1)  # the first flag on top
    for base, name in zip(bases, FLAGS):
        level = [s.fields[name] if s.value is not None else float("nan") for s in samples]
        fault = [1 - on if name in OK_FLAGS else on for on in level]
        lanes.step(times, [base + 0.7 * on for on in level], where="post", color="tab:blue")
        lanes.fill_between(times, base, [base + 0.7 * on for on in fault], step="post",
                           color="tab:red", alpha=0.35, linewidth=0)
    lanes.set_yticks([base + 0.35 for base in bases], FLAGS)
    lanes.set_ylim(-0.3, len(FLAGS))
    lanes.set_title("Status register 02, read every 50 ms, while the LED current is swept")
    current.step([t - start for t, _ in steps], [code for _, code in steps], where="post",
                 color="tab:green")
    current.set_ylabel("LED Current")
    current.set_xlabel("seconds")
    figure.tight_layout()
    if output:
        figure.savefig(output, dpi=80)
    else:
        plt.show()


def main():
    adapter = sys.argv[1] if len(sys.argv) > 1 else "sim"
    output = sys.argv[2] if len(sys.argv) > 2 else None
    dwell = float(sys.argv[3]) if len(sys.argv) > 3 else 0.25
    if adapter == "sim":
        os.environ.setdefault("ZR5130_SIM_STATUS", FAULTS)
    try:
        with zr5130.open(adapter) as chip:
            samples, steps = record(chip, dwell)
    except zr5130.Error as error:
        sys.exit(f"plot_status: {error}")
    plot(samples, steps, output)


if __name__ == "__main__":
    main()
