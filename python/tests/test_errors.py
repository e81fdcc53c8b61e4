"""Errors are Python's: the exception tree, errno, the write policy, and
nothing printed."""
import errno

import pytest
import zr5130


def test_the_exception_tree():
    assert issubclass(zr5130.MismatchError, zr5130.BusError)
    assert issubclass(zr5130.BusError, OSError)
    for kind in (zr5130.AdapterError, zr5130.BusError, zr5130.MismatchError, zr5130.DumpError):
        assert issubclass(kind, zr5130.Error)
    assert issubclass(zr5130.DumpError, ValueError)


def test_a_register_that_ignores_writes_raises_mismatch_naming_both_values(monkeypatch, capfd):
    monkeypatch.setenv("ZR5130_SIM_IGNORE_WRITES", "A5")
    with zr5130.open("sim") as chip:
        with pytest.raises(zr5130.MismatchError) as mismatch:
            chip.write(0xA5, 0x07)
    error = mismatch.value
    assert (error.register, error.wrote, error.read, error.errno) == (0xA5, 0x07, 0x00, None)
    assert str(error) == "register A5: wrote 07 and it reads back 00"
    assert isinstance(error, OSError)
    assert capfd.readouterr() == ("", "")


def test_a_read_only_register_is_refused_before_the_bus(sim, tmp_path):
    with pytest.raises(ValueError, match=r"register 0x02 \(Status\) is read-only; nothing was written"):
        sim.write(0x02, 0xFF)
    assert (tmp_path / "trace.txt").read_text() == ""


def test_a_two_register_set_stops_at_the_first_failure(monkeypatch, tmp_path):
    monkeypatch.setenv("ZR5130_SIM_IGNORE_WRITES", "A0")
    with zr5130.open("sim") as chip:
        chip.trace(tmp_path / "trace.txt")
        with pytest.raises(zr5130.MismatchError, match="nothing was written before it"):
            chip.set(led_current=0x123, pwm_frequency=3)
    writes = [line for line in (tmp_path / "trace.txt").read_text().splitlines()
              if line.startswith("W")]
    assert writes == ["W A0 23 ok"]


def test_a_bus_error_carries_the_kernels_errno(example, capfd):
    with zr5130.open(f"sim:{example('registers-not-answering.txt')}") as chip:
        with pytest.raises(zr5130.BusError) as failed:
            chip.read(0x03)
    assert failed.value.errno == errno.ENXIO
    assert failed.value.register == 0x03
    with pytest.raises(OSError):
        raise failed.value
    assert capfd.readouterr() == ("", "")


def test_an_adapter_that_does_not_come_up_says_why_without_printing(capfd):
    with pytest.raises(zr5130.AdapterError) as failed:
        zr5130.open("/dev/i2c-255")
    assert str(failed.value) == ("/dev/i2c-255 does not exist; is the adapter plugged in and the "
                                 "i2c-dev module loaded?")
    assert "USB" not in str(failed.value)
    assert capfd.readouterr() == ("", "")
