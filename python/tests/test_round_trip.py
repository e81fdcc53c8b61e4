"""What the module gives of a field, set() takes back to the same bits; text
it cannot read whole is refused before the chip is touched. Every case comes
from what the module gives (fields(), get()), not from the tables behind it,
so that giving and reading cannot drift apart unseen."""
import re

import pytest
import zr5130
from conftest import lines

WRITABLE = [f for f in zr5130.fields() if f.access == "read/write"]


def bit_ranges(field):
    """'A1 bits 3-0, A0 bits 7-0' -> [(0xA0, 0, 8), (0xA1, 0, 4)]: (register,
    lowest bit, width), the value's lowest bits first."""
    ranges = []
    for part in field.bits.split(", "):
        m = re.fullmatch(r"([0-9A-F]{2}) bits? (\d)(?:-(\d))?", part)
        assert m, f"{field.name}: {field.bits}"
        high = int(m[2])
        low = int(m[3] or high)
        ranges.insert(0, (int(m[1], 16), low, high - low + 1))
    return ranges


def holding(field, value):
    """The field's registers holding value, a pattern of each register's own
    in their other bits."""
    registers = {reg: 0x5A ^ reg for reg in field.registers}
    for reg, low, width in bit_ranges(field):
        mask = ((1 << width) - 1) << low
        registers[reg] = registers[reg] & ~mask | (value << low) & mask
        value >>= width
    return registers


def label_texts(label):
    """A label whole and each side of its ' = '."""
    return [label, *label.split(" = ")] if " = " in label else [label]


# The labels given for several values, which no write can give back.
SHARED = {"vboost-maximum": {"NA / NA"}, "pwm-current-dimming-threshold": {"PWM Always"}}


@pytest.mark.parametrize("field", WRITABLE, ids=[f.key for f in WRITABLE])
def test_what_get_and_fields_give_set_takes_back_to_the_same_bits(field):
    with zr5130.open("sim") as chip:
        given = []  # (value, as given for it): get's meaning and number, fields' labels
        for value in range(field.maximum + 1):
            for reg, byte in holding(field, value).items():
                chip.write(reg, byte)
            got = chip.get(field.key)
            assert got.number == value
            assert got.meaning == str(value) or got.meaning in field.values
            given += [(value, got.meaning), (value, got.number), (value, str(got.number))]
        for value, label in enumerate(field.values):
            given += [(value, text) for text in label_texts(label)]
        given = list(dict.fromkeys(given))
        stands_for = {}  # a text -> the values it was given for
        for value, text in given:
            stands_for.setdefault(text, set()).add(value)
        shared = {text for text, values in stands_for.items() if len(values) > 1}
        assert shared == SHARED.get(field.key, set())

        for value, text in given:
            for reg, byte in holding(field, (value + 1) % (field.maximum + 1)).items():
                chip.write(reg, byte)
            before = chip.dump()
            if text in shared:
                with pytest.raises(ValueError, match="names values"):
                    chip.set({field.key: text})
                assert chip.dump() == before
            else:
                chip.set({field.key: text})
                assert chip.dump() == before | holding(field, value), f"{field.key}={text!r}"


@pytest.mark.parametrize("name, value, error, message", [
    ("ｐｗｍ-frequency", 2, KeyError,
     "no field '\\xef\\xbd\\x90\\xef\\xbd\\x97\\xef\\xbd\\x8d-frequency': a field name is "
     "printable ASCII, and byte 1 ('\\xef') is not"),
    ("vboost-ｍａｘｉｍｕｍ", 5, KeyError, "and byte 8 ('\\xef') is not"),
    ("pwm\tfrequency", 2, KeyError, "no field 'pwm\\tfrequency'"),
    ("brightness", "2 55", ValueError, "'2 55' has blanks inside; a number for Brightness"),
    ("brightness", "1 2", ValueError, "'1 2' has blanks inside"),
    ("brightness", "0x 1 2", ValueError, "'0x 1 2' has blanks inside"),
    ("brightness", "1\r0", ValueError, "'1\\r0' has blanks inside"),
    ("current_scale", "0 11", ValueError, "'0 11' has blanks inside"),
    ("brightness", "10h", ValueError, "'10h' is not a number for Brightness"),
])
def test_text_not_read_whole_is_refused_with_nothing_written(sim, tmp_path, name, value, error,
                                                             message):
    with pytest.raises(error) as refused:
        sim.set({name: value})
    assert message in refused.value.args[0]
    if error is KeyError:
        with pytest.raises(KeyError) as unknown:
            sim.get(name)
        assert unknown.value.args == refused.value.args
    assert lines(tmp_path / "trace.txt") == []


@pytest.mark.parametrize("fields, written", [
    ({"brightness": " 255 \t"}, "W 00 FF ok"),
    ({"current_scale": "011"}, "W A1 30 ok"),
    ({"current_scale": " 20MA "}, "W A1 30 ok"),
])
def test_blanks_around_a_value_are_ignored_and_a_label_is_read_before_a_number(sim, tmp_path,
                                                                               fields, written):
    sim.set(fields)
    assert [line for line in lines(tmp_path / "trace.txt") if line.startswith("W")] == [written]
