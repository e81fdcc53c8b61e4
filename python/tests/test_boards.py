"""Several chips at once, each on its own board, from several threads."""
import threading
import time

import pytest
import zr5130


def blank_board(tmp_path, name, **registers):
    """A dump of a blank chip but for these registers (r02=0x38), as an adapter."""
    values = {0x02: 0x30, **{int(key[1:], 16): value for key, value in registers.items()}}
    path = tmp_path / name
    path.write_text(zr5130.format_dump({reg: values.get(reg, 0) for reg in range(256)}))
    return f"sim:{path}"


def test_two_chips_from_two_threads_at_once_and_a_failed_third_open(tmp_path):
    a = zr5130.open(blank_board(tmp_path, "a.txt", rA5=0x24))
    b = zr5130.open(blank_board(tmp_path, "b.txt", rA5=0xE9))
    failures = []

    def write(chip, value):
        try:
            for i in range(300):
                chip.write(0xA0, (value + i) & 0xFF)  # read back and compared
        except Exception as error:  # noqa: BLE001 - handed to the main thread
            failures.append(error)

    def read(chip, expected):
        try:
            for _ in range(300):
                assert chip.read(0xA5) == expected
        except Exception as error:  # noqa: BLE001 - handed to the main thread
            failures.append(error)

    # Two threads on chip a (a write and its read back never part), one on b.
    threads = [threading.Thread(target=write, args=(a, 0x10)),
               threading.Thread(target=write, args=(b, 0x80)),
               threading.Thread(target=read, args=(a, 0x24))]
    for thread in threads:
        thread.start()
    with pytest.raises(zr5130.DumpError):
        zr5130.open(f"sim:{tmp_path / 'missing.txt'}")
    for thread in threads:
        thread.join()
    assert failures == []
    assert (a.read(0xA5), b.read(0xA5)) == (0x24, 0xE9), "each chip keeps its own board"
    assert not a.closed and not b.closed
    a.close()
    assert b.read(0xA5) == 0xE9 and a.closed


def test_a_thread_on_a_timed_out_bus_does_not_stop_another_chip(monkeypatch):
    monkeypatch.setenv("ZR5130_SIM_STATUS", "timeout")
    monkeypatch.setenv("ZR5130_SIM_TIMEOUT", "0.5")
    stuck = zr5130.open("sim")
    monkeypatch.delenv("ZR5130_SIM_STATUS")
    healthy = zr5130.open("sim")
    outcome = {}

    def wait_on_the_bus():
        started = time.monotonic()
        try:
            stuck.read(0x02)
        except zr5130.BusError as error:
            outcome["error"] = error
        outcome["seconds"] = time.monotonic() - started

    thread = threading.Thread(target=wait_on_the_bus)
    thread.start()
    reads = 0
    while thread.is_alive():
        assert healthy.read(0x02) == 0x30
        reads += 1
    thread.join()
    assert outcome["seconds"] >= 0.5
    assert reads > 100, "the other chip was read all along"
    assert outcome["error"].errno == __import__("errno").ETIMEDOUT
    assert outcome["error"].register == 0x02


def test_the_simulated_timeout_must_be_seconds(monkeypatch):
    monkeypatch.setenv("ZR5130_SIM_TIMEOUT", "2s")
    with pytest.raises(zr5130.AdapterError, match="ZR5130_SIM_TIMEOUT: '2s' is not a number"):
        zr5130.open("sim")
