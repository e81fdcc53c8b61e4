"""The chip through the module: choosing the adapter, register access, the
trace, and every failure as an exception."""
import pytest
import zr5130
from conftest import lines


def test_read_write_and_trace_on_the_simulated_board(sim, tmp_path):
    assert sim.adapter == "sim" and sim.read(0x02) == 0x30
    sim.write(0xA5, 0xE4)  # read back as it is written
    assert sim.read(0xA5) == 0xE4
    assert lines(tmp_path / "trace.txt") == ["R 02 30 ok", "W A5 E4 ok", "R A5 E4 ok",
                                             "R A5 E4 ok"]


@pytest.mark.parametrize("call, message", [
    (lambda c: c.read(0x100), "register 256"),
    (lambda c: c.read(-1), "register -1"),
    (lambda c: c.write(0xA5, 0x100), "value 256"),
    (lambda c: c.write(0x72, 0x80), "EEPROM burn register"),
])
def test_a_bad_argument_raises_and_writes_nothing(sim, tmp_path, call, message):
    with pytest.raises(ValueError, match=message):
        call(sim)
    assert lines(tmp_path / "trace.txt") == []


def test_the_adapter_is_chosen_as_zr5130ctl_chooses_it(monkeypatch, example):
    with pytest.raises(zr5130.AdapterError, match=r'zr5130.open\("sim"\).*zr5130.adapters\(\)'):
        zr5130.open()
    monkeypatch.setenv("ZR5130_ADAPTER", "")
    with pytest.raises(zr5130.AdapterError, match="no adapter chosen"):
        zr5130.open()
    monkeypatch.setenv("ZR5130_ADAPTER", f"sim:{example('e08-programmed.txt')}")
    with zr5130.open() as chip:
        assert chip.read(0x72) == 0x83
    with zr5130.open("sim") as chip:  # the argument before the environment
        assert chip.read(0x72) == 0x00
    with pytest.raises(ValueError, match="empty"):
        zr5130.open("")


@pytest.mark.parametrize("remembered, environment, expect", [
    ("sim:{e08}", None, 0x83),
    ("sim:{e08}", "sim", 0x00),  # ZR5130_ADAPTER before the remembered choice
    ("usb", None, "remembered adapter 'usb' not used: not an adapter"),
    ("sim:{tmp}/gone.txt", None, "remembered adapter .* not used: .*No such file"),
])
def test_the_panels_remembered_adapter_comes_last(monkeypatch, tmp_path, example, remembered,
                                                  environment, expect):
    settings = tmp_path / "config" / "zr5130" / "zr5130-eval.conf"
    settings.parent.mkdir(parents=True)
    adapter = remembered.format(e08=example("e08-programmed.txt"), tmp=tmp_path)
    settings.write_text(f"[General]\nadapter={adapter}\n")
    if environment:
        monkeypatch.setenv("ZR5130_ADAPTER", environment)
    if isinstance(expect, int):
        with zr5130.open() as chip:
            assert chip.read(0x72) == expect
    else:
        with pytest.raises(zr5130.AdapterError, match=expect):
            zr5130.open()


@pytest.mark.parametrize("adapter, error, message", [
    ("usb", zr5130.AdapterError, "adapter: unknown adapter 'usb'"),
    ("none", zr5130.AdapterError, r"no adapter connected \(adapter is none\)"),
    ("sim:", zr5130.AdapterError, "needs a register dump file"),
    ("i2c:", zr5130.AdapterError, "needs part of the adapter's name"),
])
def test_an_adapter_that_cannot_be_used_raises(adapter, error, message):
    with pytest.raises(error, match=message):
        zr5130.open(adapter)


def test_closing_one_chip_leaves_another_open(example):
    first = zr5130.open("sim")
    with zr5130.open(f"sim:{example('e08-programmed.txt')}") as second:
        assert not first.closed and second.read(0x72) == 0x83
        first.close()
        with pytest.raises(zr5130.Error, match="this chip was closed"):
            first.read(0x02)
        assert second.read(0x72) == 0x83
    assert second.closed


def test_a_register_that_does_not_answer_raises_bus_error_naming_it(example, tmp_path):
    board = example("registers-not-answering.txt")
    with zr5130.open(f"sim:{board}") as chip:
        chip.trace(tmp_path / "trace.txt")
        with pytest.raises(zr5130.BusError) as read:
            chip.read(0x03)
        with pytest.raises(zr5130.BusError) as write:
            chip.write(0xA8, 0x01)
        dump = chip.dump()
    assert (read.value.register, str(read.value)) == (
        0x03, f"register 03: no answer from 0x2c on sim:{board}")
    assert write.value.register == 0xA8 and write.value.cause == f"no answer from 0x2c on sim:{board}"
    assert [reg for reg, value in dump.items() if value is None] == [
        0x03, 0x04, 0x05, 0x06, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF]
    assert lines(tmp_path / "trace.txt")[:2] == ["R 03 -- fail", "W A8 01 fail"]


def test_trace_lines_match_zr5130ctl_for_the_same_accesses(ctl, example, tmp_path):
    board = f"sim:{example('registers-not-answering.txt')}"
    steps = [("write", 0xA5, 0xE4), ("read", 0xA5), ("read", 0x03), ("write", 0x00, 0x80)]
    for op, *args in steps:
        ctl("--adapter", board, "--trace", tmp_path / "ctl.txt", op, *(f"{a:02X}" for a in args))
        with zr5130.open(board) as chip:
            chip.trace(tmp_path / "py.txt")
            # Both read a write back.
            try:
                getattr(chip, op)(*args)
            except zr5130.BusError:
                pass
    assert lines(tmp_path / "py.txt") == lines(tmp_path / "ctl.txt")
    assert len(lines(tmp_path / "py.txt")) == 6


def test_a_trace_that_cannot_be_written_raises_once(sim, tmp_path):
    with pytest.raises(OSError, match="directory"):
        sim.trace(tmp_path)
    sim.trace("/dev/full")
    with pytest.raises(zr5130.Error, match="/dev/full stopped: /dev/full: cannot write"):
        sim.write(0xA5, 0x01)
    assert sim.read(0xA5) == 0x01  # the write itself was made; the trace has stopped
