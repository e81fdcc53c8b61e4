"""Chip.watch and Chip.wait_for on the simulated board: samples of every
read, the end they come to, and other threads running while they wait."""
import importlib.util
import threading
import time

import pytest
import zr5130
from conftest import EXAMPLES, lines


def status_board(monkeypatch, sequence, timeout=None):
    """The simulated board whose status register answers sequence in turn."""
    monkeypatch.setenv("ZR5130_SIM_STATUS", sequence)
    if timeout is not None:
        monkeypatch.setenv("ZR5130_SIM_TIMEOUT", timeout)
    return zr5130.open("sim")


@pytest.mark.parametrize("sequence, wanted, timeout, raised", [
    ("30,30,38", {"over_voltage": 1}, 5.0, False),
    ("38,38,30", {"Over Voltage": "0"}, 5.0, False),
    ("30", {"over_voltage": 1}, 0.3, True),
    ("30,XX,timeout,38", {"over_voltage": True, "vref_ok": 1}, 5.0, False),
], ids=["raised", "cleared", "never", "through failed reads"])
def test_wait_for_returns_when_the_fields_hold_or_raises_timeout_error(
        monkeypatch, sequence, wanted, timeout, raised):
    chip = status_board(monkeypatch, sequence, timeout="0.05")
    started = time.monotonic()
    if raised:
        with pytest.raises(TimeoutError, match=r"^Over Voltage = 1 not seen within 0.3 s; "
                                               r"last read 02 = 30$"):
            chip.wait_for(wanted, timeout=timeout, interval=0.02)
    else:
        assert chip.wait_for(wanted, timeout=timeout, interval=0.02) is None
    seconds = time.monotonic() - started
    assert (seconds >= timeout) == raised
    assert seconds < (timeout + 1 if raised else 2)


def test_watch_yields_a_sample_for_every_read_until_the_fields_hold(monkeypatch, tmp_path):
    chip = status_board(monkeypatch, "30,XX,20,38,30")
    chip.trace(tmp_path / "trace.txt")
    before = time.time()
    samples = list(chip.watch(interval=0.01, until={"over-voltage": 1}))
    assert [s.value for s in samples] == [0x30, None, 0x20, 0x38]
    assert all(s.register == 0x02 for s in samples)
    assert [s.fields.get("Over Voltage") for s in samples] == [0, None, 0, 1]
    assert list(samples[0].fields) == ["Open", "Short", "VRef OK", "VBoost OK", "Over Voltage",
                                       "Over Current", "TSD", "UVLO"]
    assert samples[1].fields == {}
    times = [s.time for s in samples]
    assert before <= times[0] and times == sorted(times) and times[-1] <= time.time()
    assert times[-1] - times[0] >= 0.03, "one interval between reads"
    assert (tmp_path / "trace.txt").read_text().splitlines() == [
        "R 02 30 ok", "R 02 -- fail", "R 02 20 ok", "R 02 38 ok"]
    assert repr(samples[1]).startswith("<Sample 20") and repr(samples[1]).endswith(" 02 = -->")


def test_watch_ends_at_its_timeout_or_raises_with_until(monkeypatch):
    chip = status_board(monkeypatch, "30")
    started = time.monotonic()
    samples = list(chip.watch(interval=0.05, timeout=0.2))
    assert time.monotonic() - started >= 0.2
    assert 3 <= len(samples) <= 6, "reads at 0, 0.05, ..., and a last one at 0.2 s"
    watch = chip.watch(interval=0.05, timeout=0.1, until={"over_voltage": 1})
    with pytest.raises(TimeoutError, match="not seen within 0.1 s"):
        for _ in watch:
            pass
    assert list(watch) == [], "a watch that ended stays ended"


def test_until_on_another_register_reads_that_register(sim):
    sim.set(pwm_frequency="9616 Hz", current_scale=0)
    samples = list(sim.watch(until={"pwm-frequency": "9616hz", "current-scale": 0}))
    assert [(s.register, s.fields.get("PWM Frequency")) for s in samples] == [(0xA5, 4),
                                                                              (0xA1, None)]


@pytest.mark.parametrize("call, error, message", [
    (lambda chip: chip.wait_for(over_voltag=1), KeyError, "did you mean over-voltage"),
    (lambda chip: chip.wait_for(over_voltage=2), ValueError, "out of range"),
    (lambda chip: chip.wait_for(), ValueError, "no field to wait for"),
    (lambda chip: chip.wait_for(over_voltage=1, timeout=-1), ValueError, "timeout -1"),
    (lambda chip: chip.watch(interval=0), ValueError, "interval 0 is not"),
    (lambda chip: chip.watch(until={"open": 1, "Open": 0}), ValueError, "given twice"),
    (lambda chip: chip.watch(until={"open": 1.5}), TypeError, "give a number"),
], ids=["unknown field", "value out of range", "no field", "negative timeout", "no interval",
        "a field twice", "a float"])
def test_bad_fields_and_times_are_refused_before_any_read(sim, tmp_path, call, error, message):
    with pytest.raises(error, match=message):
        call(sim)
    assert lines(tmp_path / "trace.txt") == []


def test_other_threads_run_while_a_watch_waits_and_while_its_bus_times_out(monkeypatch):
    chip = status_board(monkeypatch, "timeout,30", timeout="0.3")
    ticks = []
    done = threading.Event()

    def tick():
        while not done.is_set():
            ticks.append(time.monotonic())
            time.sleep(0.01)

    thread = threading.Thread(target=tick)
    thread.start()
    try:
        started = time.monotonic()
        samples = list(chip.watch(interval=0.2, timeout=0.5))
        seconds = time.monotonic() - started
    finally:
        done.set()
        thread.join()
    assert samples[0].value is None and samples[1].value == 0x30
    assert seconds >= 0.5
    during = [t for t in ticks if started <= t <= started + seconds]
    assert len(during) >= 20, f"{len(during)} ticks in {seconds:.2f} s"
    assert max(b - a for a, b in zip(during, during[1:])) < 0.15, "no stall of the bus' 0.3 s"


def test_a_closed_chip_ends_the_watch_with_error(monkeypatch):
    chip = status_board(monkeypatch, "30")
    watch = chip.watch(interval=0.01)
    assert next(watch).value == 0x30
    chip.close()
    with pytest.raises(zr5130.Error, match="closed"):
        next(watch)


def plot_example():
    loader_spec = importlib.util.spec_from_file_location("plot_status", EXAMPLES / "plot_status.py")
    example = importlib.util.module_from_spec(loader_spec)
    loader_spec.loader.exec_module(example)
    return example


def test_the_plot_example_records_a_watch_across_its_sweep(monkeypatch):
    example = plot_example()
    chip = status_board(monkeypatch, example.FAULTS)
    samples, steps = example.record(chip, dwell=0.02, interval=0.01)
    assert [code for _, code in steps] == example.STEPS, "each step read back"
    assert samples[0].time <= steps[0][0] and steps[-1][0] <= samples[-1].time
    assert [s.value for s in samples[:4]] == [0x30, 0x30, 0x38, 0x38]


def test_the_plot_example_draws_its_picture(monkeypatch, tmp_path):
    pytest.importorskip("matplotlib", reason="python3-matplotlib, no dependency of the module")
    example = plot_example()
    monkeypatch.setenv("ZR5130_SIM_STATUS", example.FAULTS)  # as main() would set it
    monkeypatch.setattr("sys.argv", ["plot_status.py", "sim", str(tmp_path / "status.png"), "0"])
    example.main()
    assert (tmp_path / "status.png").read_bytes().startswith(b"\x89PNG")
