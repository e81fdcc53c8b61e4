"""The bench example as its users run it: with pytest, against the board
ZR5130_ADAPTER names. It passes on a healthy board and fails, naming the
flags, on one whose status register reports faults."""
import os
import subprocess
import sys

import pytest
from conftest import EXAMPLES


@pytest.mark.parametrize("board, status, summary, told", [
    ("sim", 0, "6 passed", ""),
    (f"sim:{EXAMPLES / 'status-faults.txt'}", 1, "1 failed, 5 passed",
     "assert ['open', 'over-voltage'] == []"),
], ids=["healthy board", "status faults"])
def test_the_bench_example_fails_on_a_board_with_fault_flags(board, status, summary, told):
    ran = subprocess.run([sys.executable, "-m", "pytest", "-q", "-p", "no:cacheprovider",
                          EXAMPLES / "test_bench.py"],
                         capture_output=True, text=True, timeout=120,
                         env={**os.environ, "ZR5130_ADAPTER": board})
    assert ran.returncode == status, ran.stdout
    assert summary in ran.stdout.splitlines()[-1], ran.stdout
    assert told in ran.stdout
