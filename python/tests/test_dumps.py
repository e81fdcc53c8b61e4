"""Register dumps: i2cdump's table read and written, a dump as the simulated
board, and the differences between two dumps in fields."""
import pathlib

import pytest
import zr5130

I2CDUMP = pathlib.Path(__file__).parents[2] / "tests" / "data" / "i2cdump"
HEADER = "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f\n"


def answering(registers):
    return {reg: value for reg, value in registers.items() if value is not None}


def test_an_i2cdump_range_is_read_and_answers_as_the_simulated_board(ctl, tmp_path):
    dump = I2CDUMP / "range-02-af.txt"
    loaded = zr5130.load_dump(dump)
    assert (min(loaded), max(loaded)) == (0x02, 0xAF)
    assert (loaded[0x72], loaded[0xA0], loaded[0xA5]) == (0x83, 0xFF, 0x24)
    with zr5130.open(f"sim:{dump}") as chip:
        read = chip.dump()
    assert read[0x00] is None and read[0x01] is None  # outside the range: no answer
    assert answering(read) == {reg: loaded[reg] for reg in read if reg in loaded}
    # zr5130ctl reads the same values from the same board
    tool = ctl("--adapter", f"sim:{dump}", "dump")
    (tmp_path / "tool.txt").write_text(tool.stdout)
    from_tool = zr5130.load_dump(tmp_path / "tool.txt")
    assert from_tool == answering(read)


def test_a_dump_written_loads_back_as_it_was_read(example, tmp_path):
    with zr5130.open(f"sim:{example('registers-not-answering.txt')}") as chip:
        chip.write(0xA5, 0xE4)
        first = chip.dump()
    (tmp_path / "saved.txt").write_text(zr5130.format_dump(first))
    assert zr5130.load_dump(tmp_path / "saved.txt") == answering(first)
    with zr5130.open(f"sim:{tmp_path / 'saved.txt'}") as chip:
        assert chip.dump() == first


@pytest.mark.parametrize("text, line, message", [
    (HEADER + "00: 00 01 zz\n", 2, "'zz' is not a byte"),
    (HEADER + "00: 00\n00: 01\n", 3, None),
    ("no table here\n", None, None),
])
def test_a_dump_that_cannot_be_read_names_file_and_line(tmp_path, text, line, message):
    path = tmp_path / "bad.txt"
    path.write_text(text)
    for attempt in (lambda: zr5130.load_dump(path), lambda: zr5130.open(f"sim:{path}")):
        with pytest.raises(zr5130.DumpError, match=message) as error:
            attempt()
        assert (error.value.file, error.value.line) == (str(path), line)
        assert str(error.value).startswith(f"{path}:{line}:" if line else f"{path}:")


def test_a_file_that_is_not_a_regular_file_is_refused(tmp_path):
    with pytest.raises(zr5130.DumpError, match="directory") as error:
        zr5130.load_dump(tmp_path)
    assert isinstance(error.value, ValueError) and error.value.line is None
    with pytest.raises(zr5130.DumpError, match="No such file"):
        zr5130.load_dump(tmp_path / "missing.txt")


def test_diff_gives_the_registers_and_fields_that_differ(example):
    programmed = zr5130.load_dump(example("e08-programmed.txt"))
    changed = {**programmed, 0xA5: 0x2F, 0x03: None}
    changed.pop(0x30)  # outside the map: compared only where both hold it
    changed[0x31] = 0x55
    diffs = zr5130.diff(programmed, changed)
    assert [(d.register, d.name, d.a, d.b) for d in diffs] == [
        (0x03, "Unknown", 0x00, None), (0x31, "", 0x00, 0x55), (0xA5, "PWM dimming", 0x24, 0x2F)]
    pwm = diffs[2]
    assert diffs[0].fields == [] and diffs[1].fields == []
    assert [(a.name, a.number, b.number) for a, b in pwm.fields] == [("PWM Frequency", 4, 15)]
    assert zr5130.diff(programmed, programmed) == []


@pytest.mark.parametrize("registers, message", [
    ({0x100: 0}, "register 256 is not an address"),
    ({0xA5: 0x1FF}, "register 0xA5 holds 511, not a byte"),
])
def test_format_dump_refuses_what_is_not_a_byte(registers, message):
    with pytest.raises(ValueError, match=message):
        zr5130.format_dump(registers)
