"""Text a script passes in reaches the map whole: a NUL, a lone surrogate or
a control byte gets the ValueError or KeyError any bad text gets, with the
text escaped in the message. A trace says why it stopped, and may go into
a pipe."""
import os

import pytest
import zr5130


@pytest.mark.parametrize("call, error, message", [
    (lambda c: c.set(pwm_frequency="a\0b"), ValueError,
     r"'a\\x00b' is not a value of PWM Frequency"),
    (lambda c: c.set(pwm_frequency="\ud800"), ValueError,
     r"'\\xed\\xa0\\x80' is not a value of PWM Frequency"),
    (lambda c: c.get("a\0b"), KeyError, r"no field 'a\\\\x00b'"),
    (lambda c: c.get("\ud800"), KeyError, "printable ASCII"),
    (lambda c: c.set({"\ud800": 1}), KeyError, "printable ASCII"),
    (lambda c: c.get(3), TypeError, "the field name must be a str, not int"),
    (lambda c: zr5130.open("a\0b"), ValueError, r"the adapter a\\x00b holds a NUL"),
    (lambda c: zr5130.open("sim:\ud800"), ValueError, "holds characters no file name can"),
])
def test_text_that_is_not_clean_gets_the_usual_error_never_a_failed_cast(call, error, message):
    with zr5130.open("sim") as chip:
        with pytest.raises(error, match=message):
            call(chip)


def test_a_dump_path_is_escaped_in_the_message_and_whole_in_the_attribute(tmp_path):
    path = str(tmp_path / "j\x1b[31mRED\a\n\udcff.txt")
    with pytest.raises(zr5130.DumpError) as error:
        zr5130.open(f"sim:{path}")
    assert "\n" not in str(error.value) and "\x1b" not in str(error.value)
    assert r"j\x1b[31mRED\x07\n\xff.txt: cannot open" in str(error.value)
    assert error.value.file == path


def test_a_trace_that_cannot_be_written_says_why(tmp_path):
    with zr5130.open("sim") as chip:
        chip.trace("/dev/full")
        with pytest.raises(zr5130.Error, match="the trace /dev/full stopped: .*No space left"):
            chip.read(0x02)


def test_a_trace_may_go_into_a_pipe(sim):
    reader, writer = os.pipe()
    try:
        sim.trace(f"/dev/fd/{writer}")
        sim.read(0x02)
        sim.trace(None)
        assert os.read(reader, 100) == b"R 02 30 ok\n"
    finally:
        os.close(reader)
        os.close(writer)
