"""A field from get() stands for its value: truth, int, comparison both
ways with a number and with its meaning, format, str."""
import pytest
import zr5130


@pytest.fixture
def board(example):
    """status-faults.txt: Open and Over Voltage set, Short clear; A5 is E4."""
    with zr5130.open(f"sim:{example('status-faults.txt')}") as chip:
        chip.write(0xA5, 0xE4)
        yield chip


@pytest.mark.parametrize("name, truth, number, text", [
    ("open", True, 1, "1"),
    ("short", False, 0, "0"),
    ("pwm-frequency", True, 4, "9616 Hz"),
])
def test_truth_int_and_str_are_the_fields_value(board, name, truth, number, text):
    field = board.get(name)
    assert (bool(field), int(field), str(field), f"{field}") == (truth, number, text, text)
    assert (field.number, field.meaning) == (number, text)


@pytest.mark.parametrize("other, equal", [
    (4, True), (5, False), ("9616 Hz", True), (" 9616  HZ ", True), ("4808 Hz", False),
    ("4", False), ("\ud800", False), (None, False),
])
def test_a_field_compares_with_its_number_and_its_meaning_both_ways(board, other, equal):
    field = board.get("pwm-frequency")
    assert (field == other, other == field) == (equal, equal)
    assert (field != other, other != field) == (not equal, not equal)


def test_fields_compare_by_field_and_number_and_are_not_hashable(board):
    frequency, again, brightness = board.get("pwm-frequency"), board.get("PWM Frequency"), \
        board.get("brightness")
    assert frequency == again and frequency != brightness
    with pytest.raises(TypeError, match="unhashable"):
        {frequency}


@pytest.mark.parametrize("format_spec, shown", [
    ("d", "4"), ("#04x", "0x04"), (".1f", "4.0"), ("", "9616 Hz"), (">9", "  9616 Hz"),
])
def test_format_takes_the_number_for_a_number_format_and_the_meaning_otherwise(board, format_spec,
                                                                               shown):
    assert format(board.get("pwm-frequency"), format_spec) == shown
