"""A bench test as pytest runs it: a fixture opens the chip for each test
and closes it after, each test sets fields by name and checks what the chip
holds. The adapter is chosen as zr5130ctl chooses it:

    ZR5130_ADAPTER=sim PYTHONPATH=build/python python3 -m pytest examples/test_bench.py
    ZR5130_ADAPTER=/dev/i2c-7 ...                       # the same tests on a real board

Add a meter fixture (PyVISA) beside the chip's to check the current itself."""
import pytest
import zr5130


@pytest.fixture
def chip():
    with zr5130.open() as chip:
        chip.set(enable_backlight=0, led_current=0)  # each test starts dark
        yield chip


@pytest.mark.parametrize("code", [0x000, 0x123, 0x800, 0xFFF])
def test_led_current_reads_back_as_set(chip, code):
    chip.set(led_current=code)
    assert chip.get("led-current").number == code


def test_pwm_dimming_set_by_meaning(chip):
    chip.set(pwm_frequency="9616 Hz", phase_shift_mode="3 PH 3 DR", pwm_direct=0)
    assert chip.get("pwm-frequency").meaning == "9616 Hz"
    assert chip.get("phase-shift-mode").meaning == "3 PH 3 DR"


def test_backlight_on_without_fault_flags(chip):
    chip.set(current_scale="20mA", led_current=0x400, enable_backlight=1)
    faults = ["open", "short", "over-voltage", "over-current", "tsd", "uvlo"]
    assert [name for name in faults if chip.get(name).number] == []
