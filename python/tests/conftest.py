"""Fixtures of the zr5130 module's tests: a clean environment, the example
dumps, zr5130ctl to compare with, and trace files to read."""
import os
import pathlib
import subprocess

import pytest
import zr5130

EXAMPLES = pathlib.Path(os.environ.get("ZR5130_EXAMPLES_DIR",
                                       pathlib.Path(__file__).parents[2] / "examples"))


@pytest.fixture(autouse=True)
def clean_environment(monkeypatch, tmp_path):
    """No adapter, trace or status sequence from the caller's shell, and no
    adapter remembered by a panel on this machine."""
    for name in ("ZR5130_ADAPTER", "ZR5130_TRACE", "ZR5130_SIM_STATUS",
                 "ZR5130_SIM_IGNORE_WRITES"):
        monkeypatch.delenv(name, raising=False)
    monkeypatch.setenv("XDG_CONFIG_HOME", str(tmp_path / "config"))
    monkeypatch.setenv("HOME", str(tmp_path))


@pytest.fixture
def example():
    """The path of an example dump, by file name."""
    return lambda name: EXAMPLES / name


@pytest.fixture
def ctl(tmp_path):
    """Runs zr5130ctl with its arguments; answers the finished process."""
    exe = os.environ.get("ZR5130CTL")
    if not exe:
        pytest.skip("ZR5130CTL names no zr5130ctl to compare with (ctest sets it)")

    def run(*args):
        # A sanitizer build preloads the sanitizer runtime for the interpreter
        # only: Clang links its runtime into zr5130ctl, which refuses a second.
        env = {name: value for name, value in os.environ.items() if name != "LD_PRELOAD"}
        return subprocess.run([exe, *map(str, args)], capture_output=True, text=True,
                              cwd=tmp_path, env=env, timeout=30)
    return run


def lines(path):
    """The lines of a trace file; none when it was never written."""
    path = pathlib.Path(path)
    return path.read_text().splitlines() if path.exists() else []


@pytest.fixture
def sim(tmp_path):
    """The simulated board, tracing to tmp_path/trace.txt (read with lines())."""
    with zr5130.open("sim") as chip:
        chip.trace(tmp_path / "trace.txt")
        yield chip
