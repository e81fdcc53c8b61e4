"""Fields by name: get and set through the register map's field writing,
each register read once, written once and read back; bad names and values
refused before anything is read or written."""
import pytest
import zr5130
from conftest import lines


@pytest.fixture
def e08(example, tmp_path):
    """The board programmed with E08, tracing to trace.txt."""
    with zr5130.open(f"sim:{example('e08-programmed.txt')}") as chip:
        chip.trace(tmp_path / "trace.txt")
        yield chip


def test_a_meaning_writes_one_byte_with_only_the_fields_bits_changed(sim, tmp_path):
    sim.write(0xA5, 0xE9)
    sim.set(pwm_frequency="9616hz")
    assert sim.get("PWM_FREQUENCY").meaning == "9616 Hz"
    assert lines(tmp_path / "trace.txt") == [
        "W A5 E9 ok", "R A5 E9 ok", "R A5 E9 ok", "W A5 E4 ok", "R A5 E4 ok", "R A5 E4 ok"]


def test_the_led_current_goes_to_a0_then_a1_keeping_a1s_upper_bits(e08, tmp_path):
    assert e08.read(0xA1) == 0xCF
    e08.set(led_current=0x123)
    current = e08.get("LED Current")
    assert (current.number, current.meaning, current.registers) == (0x123, "291", [0xA0, 0xA1])
    assert lines(tmp_path / "trace.txt")[1:] == [
        "R A0 FF ok", "R A1 CF ok", "W A0 23 ok", "R A0 23 ok", "W A1 C1 ok", "R A1 C1 ok",
        "R A0 23 ok", "R A1 C1 ok"]


def test_a_register_that_reads_back_otherwise_raises_and_stops_the_writes(monkeypatch, tmp_path):
    monkeypatch.setenv("ZR5130_SIM_IGNORE_WRITES", "A1")  # the board keeps A1 as it is
    with zr5130.open("sim") as chip:
        chip.trace(tmp_path / "trace.txt")
        with pytest.raises(zr5130.MismatchError) as mismatch:
            chip.set(led_current=0x123, ss_en=1)
    assert (mismatch.value.register, mismatch.value.wrote, mismatch.value.read) == (0xA1, 0x01, 0)
    assert str(mismatch.value) == ("register A1: wrote 01 and it reads back 00 (LED Current; "
                                   "written before it: 0xA0)")
    assert lines(tmp_path / "trace.txt") == [
        "R A0 00 ok", "R A1 00 ok", "R AA 00 ok", "W A0 23 ok", "R A0 23 ok", "W A1 01 ok",
        "R A1 00 ok"]  # AA, after it, is not written


@pytest.mark.parametrize("fields, more, error, message", [
    ({}, {"pwm_frequency": "9616 Hz", "pwm_frequncy": 3}, KeyError,
     "no field 'pwm_frequncy'; did you mean pwm-frequency"),
    ({}, {"pwm_frequency": "9616 kHz"}, ValueError, "not a value of PWM Frequency; did you mean"),
    ({}, {"led_current": 0x1000}, ValueError, "4096 is out of range for LED Current"),
    ({}, {"led_current": -1}, ValueError, "LED Current"),
    ({}, {"over_voltage": 0}, ValueError, "read only"),
    ({}, {"programmed": 1}, ValueError, "burn"),
    ({"PWM Frequency": 1}, {"pwm_frequency": 2}, ValueError, "given twice"),
    ({}, {"brightness": 1.5}, TypeError, "brightness is a float"),
    ({}, {}, ValueError, "no field to set"),
])
def test_a_bad_name_or_value_raises_before_anything_is_read_or_written(sim, tmp_path, fields,
                                                                       more, error, message):
    with pytest.raises(error, match=message):
        sim.set(fields, **more)
    assert lines(tmp_path / "trace.txt") == []


def test_a_field_whose_register_does_not_answer_raises_bus_error(example, tmp_path):
    with zr5130.open(f"sim:{example('registers-not-answering.txt')}") as chip:
        chip.trace(tmp_path / "trace.txt")
        with pytest.raises(zr5130.BusError) as get:
            chip.get("vboost-maximum")
        with pytest.raises(zr5130.BusError) as set_:
            chip.set(pwm_frequency=4, ss_en=1)
    assert (get.value.register, set_.value.register) == (0xA9, 0xAA)
    assert lines(tmp_path / "trace.txt") == ["R A9 -- fail", "R A5 00 ok", "R AA -- fail"]
