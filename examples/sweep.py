#!/usr/bin/env python3
"""A current sweep: the LED current from zero to full scale in steps, each
step set by field, read back and printed as one line of a table. Runs on the
simulated board unless an adapter is given:

    PYTHONPATH=build/python examples/sweep.py                 # simulated board
    PYTHONPATH=build/python examples/sweep.py /dev/i2c-7 2.0  # a real board, 2 s a step

Read your meter where the comment says; with PyVISA, for example
meter.query("MEAS:CURR:DC?")."""
import sys
import time

import zr5130

STEPS = [*range(0, 0x1000, 0x200), 0xFFF]


def sweep(chip: zr5130.Chip, dwell: float) -> None:
    chip.set(current_scale="20mA", enable_backlight=1)
    scale = chip.get("current-scale").meaning
    print(f"Current Scale {scale}")
    print("step  LED Current  A0  A1  of full scale")
    for step, code in enumerate(STEPS):
        chip.set(led_current=code)
        current = chip.get("led-current")  # read back from the chip
        time.sleep(dwell)  # the current settles; read the meter here
        print(f"{step:4}  {current.number:5} {current.number:03X}h  {chip.read(0xA0):02X}  "
              f"{chip.read(0xA1):02X}  {current.number / 0xFFF:13.1%}")


def main() -> None:
    adapter = sys.argv[1] if len(sys.argv) > 1 else "sim"
    dwell = float(sys.argv[2]) if len(sys.argv) > 2 else 0.0
    try:
        with zr5130.open(adapter) as chip:
            sweep(chip, dwell)
    except zr5130.Error as error:
        sys.exit(f"sweep: {error}")


if __name__ == "__main__":
    main()
