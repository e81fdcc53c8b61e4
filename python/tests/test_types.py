"""The type stub holds up under mypy --strict: on a script that uses all of
the module, and on the examples that use only the module."""
import os
import pathlib
import shutil
import subprocess
import sys

import pytest
from typed_usage import use_everything

HERE = pathlib.Path(__file__).parent
EXAMPLES = pathlib.Path(os.environ.get("ZR5130_EXAMPLES_DIR", HERE.parents[1] / "examples"))
STUB_DIR = HERE.parent


def without_preload():
    """The environment without the sanitizer runtime preloaded for the module."""
    return {name: value for name, value in os.environ.items() if name != "LD_PRELOAD"}


def test_the_script_that_uses_everything_runs(example, tmp_path):
    seen = use_everything(example("e08-programmed.txt"), tmp_path / "trace.txt")
    assert "4 4 9616 Hz 4 9616 Hz" in seen and "Config E8 loaded" in seen


@pytest.mark.parametrize("script", [HERE / "typed_usage.py", EXAMPLES / "sweep.py"],
                         ids=lambda p: p.name)
def test_mypy_strict_finds_nothing(tmp_path, script):
    try:
        import mypy  # noqa: F401
    except ImportError:
        pytest.skip("mypy is not installed (python3-mypy)")
    # The stub alone, so that mypy reads it rather than the built module.
    shutil.copy(STUB_DIR / "zr5130.pyi", tmp_path / "zr5130.pyi")
    ran = subprocess.run([sys.executable, "-m", "mypy", "--strict", "--no-incremental",
                          "--cache-dir", os.devnull, str(script)],
                         capture_output=True, text=True, timeout=240,
                         env={**without_preload(), "MYPYPATH": str(tmp_path)})
    assert ran.returncode == 0, ran.stdout + ran.stderr
