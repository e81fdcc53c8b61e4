"""The chip through the module: choosing the adapter, register access, the
trace, and every failure as an exception."""
import os
import subprocess
import sys

import pytest
import zr5130
from conftest import lines

USB_PARENT = "pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:10C4:EA90.0001"
PCI_PARENT = "pci0000:00/0000:00:1f.4"


def remember(tmp_path, general):
    """The panel's settings file with these lines under [General]."""
    settings = tmp_path / "config" / "zr5130" / "zr5130-eval.conf"
    settings.parent.mkdir(parents=True, exist_ok=True)
    settings.write_text(f"[General]\n{general}\n")


def open_with_buses(tmp_path, buses):
    """zr5130.open() in an interpreter that sees these I2C buses, by number,
    laid out as the kernel does (a USB bridge below a USB device) in a folder
    bound over /sys/class in a mount namespace of its own; it prints the
    exception raised."""
    for number, name in buses.items():
        parent = PCI_PARENT if name.startswith("SMBus") else USB_PARENT
        bus = f"i2c-{number}"
        device = tmp_path / "sys" / "devices" / parent / bus / "i2c-dev" / bus
        device.mkdir(parents=True)
        (device / "name").write_text(name + "\n")
        entry = tmp_path / "sys" / "class" / "i2c-dev" / bus
        entry.parent.mkdir(parents=True, exist_ok=True)
        entry.symlink_to(device)
    script = ("import zr5130\ntry:\n    zr5130.open()\n"
              "except zr5130.Error as error:\n    print(type(error).__name__ + ': ' + str(error))\n")
    ran = subprocess.run(["unshare", "--map-root-user", "--mount", "sh", "-c",
                          'mount --bind "$0" /sys/class && exec "$@"', tmp_path / "sys" / "class",
                          sys.executable, "-c", script],
                         capture_output=True, text=True, timeout=30, env=os.environ)
    if ran.returncode != 0 and ran.stderr.startswith(("unshare:", "mount:")):
        pytest.skip(f"no user and mount namespaces here: {ran.stderr.strip()}")
    return ran


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


@pytest.mark.parametrize("argument, environment, remembered, expect", [
    (None, None, None, (zr5130.AdapterError, r'zr5130.open\("sim"\).*zr5130.adapters\(\)')),
    (None, "", None, (zr5130.AdapterError, "no adapter chosen")),
    (None, "sim:{e08}", None, 0x83),
    ("sim", "sim:{e08}", None, 0x00),  # the argument before the environment
    ("", None, None, (ValueError, "empty")),
    # The panel's remembered adapter comes last.
    (None, None, "sim:{e08}", 0x83),
    (None, "sim", "sim:{e08}", 0x00),
    (None, None, "usb", (zr5130.AdapterError, "remembered adapter 'usb' not used: not an adapter")),
    (None, None, "sim:{tmp}/gone.txt",
     (zr5130.AdapterError, "remembered adapter .* not used: .*No such file")),
    ("usb", None, None, (zr5130.AdapterError, "adapter: unknown adapter 'usb'")),
    ("none", None, None, (zr5130.AdapterError, r"no adapter connected \(adapter is none\)")),
    ("sim:", None, None, (zr5130.AdapterError, "needs a register dump file")),
    ("i2c:", None, None, (zr5130.AdapterError, "needs part of the adapter's name")),
])
def test_the_adapter_is_chosen_as_zr5130ctl_chooses_it(monkeypatch, tmp_path, example, argument,
                                                        environment, remembered, expect):
    def filled(text):
        return text.format(e08=example("e08-programmed.txt"), tmp=tmp_path)
    if remembered is not None:
        remember(tmp_path, f"adapter={filled(remembered)}")
    if environment is not None:
        monkeypatch.setenv("ZR5130_ADAPTER", filled(environment))
    arguments = () if argument is None else (filled(argument),)
    if isinstance(expect, int):
        with zr5130.open(*arguments) as chip:
            assert chip.read(0x72) == expect
    else:
        error, message = expect
        with pytest.raises(error, match=message):
            zr5130.open(*arguments)


BRIDGE = "CP2112 SMBus Bridge on hidraw0"
SMBUS = "SMBus I801 adapter at efa0"
# This machine has no such node: the open that fails names the bus found.
FOUND_7 = "/dev/i2c-7 does not exist"


@pytest.mark.parametrize("buses, remembered, told", [
    ({0: SMBUS, 7: BRIDGE}, "adapter=i2c:CP2112 SMBus Bridge", FOUND_7),
    ({0: SMBUS, 7: BRIDGE}, f"adapter=/dev/i2c-7\nadapterName={BRIDGE}", FOUND_7),
    ({7: SMBUS, 8: "CP2112 SMBus Bridge on hidraw1"}, f"adapter=/dev/i2c-7\nadapterName={BRIDGE}",
     f"remembered adapter '/dev/i2c-7' not used: /dev/i2c-7 is now '{SMBUS}', not '{BRIDGE}'"),
    ({0: SMBUS}, "adapter=i2c:CP2112 SMBus Bridge",
     "remembered adapter 'i2c:CP2112 SMBus Bridge' not used: no I2C bus named like "
     f"'CP2112 SMBus Bridge'; buses found: /dev/i2c-0: {SMBUS}"),
], ids=["by name", "by node and name", "node taken by another bus", "name gone"])
def test_a_remembered_bus_is_found_by_its_name_or_refused(tmp_path, buses, remembered, told):
    remember(tmp_path, remembered)
    opened = open_with_buses(tmp_path, buses)
    assert opened.stdout.startswith("AdapterError: ") and told in opened.stdout, opened


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
