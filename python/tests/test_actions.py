"""restore, load and burn from Python make the writes and read-backs that
zr5130ctl makes on the same board, and fail with exceptions where it fails."""
import pytest
import zr5130
from conftest import lines


@pytest.mark.parametrize("ctl_args, action", [
    (["restore", "{e08}"], lambda chip, e08: chip.restore(zr5130.load_dump(e08))),
    (["load", "E08"], lambda chip, e08: chip.load("E08")),
    (["load", "E03"], lambda chip, e08: chip.load("e03")),
    (["burn", "prepare"], lambda chip, e08: chip.burn("prepare", confirm=True)),
    (["burn", "complete"], lambda chip, e08: chip.burn("complete", confirm=True)),
])
def test_python_makes_the_accesses_zr5130ctl_makes(ctl, example, tmp_path, ctl_args, action):
    e08 = example("e08-programmed.txt")
    board = f"sim:{example('status-faults.txt')}"
    ran = ctl("--adapter", board, "--trace", tmp_path / "ctl.txt", "--yes",
              *[arg.format(e08=e08) for arg in ctl_args])
    assert ran.returncode == 0, ran.stderr
    with zr5130.open(board) as chip:
        chip.trace(tmp_path / "py.txt")
        action(chip, e08)
    assert lines(tmp_path / "py.txt") == lines(tmp_path / "ctl.txt") != []


def test_restore_then_dump_gives_the_dump_back_and_load_answers_the_panels_text(example):
    e08 = zr5130.load_dump(example("e08-programmed.txt"))
    with zr5130.open("sim") as chip:
        chip.restore(e08)
        restored = chip.dump()
        assert chip.load("E08") == "Config E8 loaded" and chip.load("E01") == "No Config loaded"
        assert chip.burn("prepare", confirm=True) == 0x80
    written = [0x16, 0x00, 0x01, 0x98, 0x9E, *range(0xA0, 0xB0)]
    assert {reg: restored[reg] for reg in written} == {reg: e08[reg] for reg in written}


@pytest.mark.parametrize("call, message", [
    (lambda c: c.burn("prepare"), "pass confirm=True"),
    (lambda c: c.burn("complete", confirm=False), "burning the configuration into the EEPROM"),
    (lambda c: c.burn("now", confirm=True), "burn step 'now' is neither"),
    (lambda c: c.load("E16"), r"unknown configuration 'E16' \(use E00 to E15\)"),
    (lambda c: c.restore({0x02: 0x30, 0x72: 0x80}), "holds none of the registers restore writes"),
    (lambda c: c.restore({0xA5: 0x100}), "not a byte"),
])
def test_a_refused_action_raises_value_error_and_touches_nothing(sim, tmp_path, call, message):
    with pytest.raises(ValueError, match=message):
        call(sim)
    assert lines(tmp_path / "trace.txt") == []


def test_restore_tries_every_register_then_raises_the_first_that_reads_otherwise(
        monkeypatch, example, tmp_path):
    monkeypatch.setenv("ZR5130_SIM_IGNORE_WRITES", "A5 A7")
    with zr5130.open("sim") as chip:
        chip.trace(tmp_path / "trace.txt")
        with pytest.raises(zr5130.MismatchError) as restore:
            chip.restore(zr5130.load_dump(example("e08-programmed.txt")))
        restored = lines(tmp_path / "trace.txt")
        with pytest.raises(zr5130.MismatchError) as load:
            chip.load("E08")
    assert (restore.value.register, restore.value.wrote, restore.value.read) == (0xA5, 0x24, 0)
    assert "2 of 21 registers read back otherwise: 0xA5, 0xA7" in str(restore.value)
    assert restored[-2:] == ["W 01 05 ok", "R 01 05 ok"]  # the last of them, after A5 and A7
    assert load.value.register == 0xA5
    assert str(load.value).endswith("(written before it: 0x01, 0x98, 0x9E, 0xA0, 0xA1, 0xA2, "
                                    "0xA3, 0xA4)")


def test_load_writes_nothing_when_register_01_does_not_answer(tmp_path):
    board = tmp_path / "deaf-01.txt"
    board.write_text(zr5130.format_dump({reg: 0 for reg in range(256) if reg != 0x01}))
    with zr5130.open(f"sim:{board}") as chip:
        chip.trace(tmp_path / "trace.txt")
        with pytest.raises(zr5130.BusError, match="; nothing was written$") as error:
            chip.load("E08")
    assert error.value.register == 0x01
    assert lines(tmp_path / "trace.txt") == ["R 01 -- fail"]
