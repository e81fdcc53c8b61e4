#!/usr/bin/env python3
"""The cost of one register read from a Python script: chip.read() of the
zr5130 module against a `zr5130ctl read 02` process per read, both on the
simulated board, taken in turns in one run.

Usage: PYTHONPATH=build/python bench/python-read-bench.py build/zr5130ctl [ROUNDS]
Prints wall and CPU time per read, medians over the rounds; exits 1 when a
chip.read() costs more than 2 us of CPU time."""
import os
import resource
import statistics
import subprocess
import sys
import time

import zr5130

READS_PER_ROUND = 20000
PROCESSES_PER_ROUND = 40
LIMIT_US = 2.0


def module_reads(chip):
    """Wall and CPU seconds per chip.read() over one round."""
    read = chip.read
    wall, cpu = time.perf_counter(), time.process_time()
    for _ in range(READS_PER_ROUND):
        read(0x02)
    return ((time.perf_counter() - wall) / READS_PER_ROUND,
            (time.process_time() - cpu) / READS_PER_ROUND)


def tool_reads(ctl):
    """Wall and CPU seconds (the children's) per zr5130ctl process over one round."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    wall = time.perf_counter()
    for _ in range(PROCESSES_PER_ROUND):
        subprocess.run([ctl, "--adapter", "sim", "read", "02"], check=True,
                       stdout=subprocess.DEVNULL)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return (time.perf_counter() - wall) / PROCESSES_PER_ROUND, cpu / PROCESSES_PER_ROUND


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    ctl, rounds = sys.argv[1], int(sys.argv[2]) if len(sys.argv) == 3 else 10
    os.environ.pop("ZR5130_TRACE", None)
    module, tool = [], []
    with zr5130.open("sim") as chip:
        module_reads(chip)  # warm up both before measuring
        tool_reads(ctl)
        for _ in range(rounds):
            module.append(module_reads(chip))
            tool.append(tool_reads(ctl))

    def median(samples, index):
        return statistics.median(sample[index] for sample in samples) * 1e6

    rows = [("chip.read(0x02)", median(module, 0), median(module, 1)),
            ("zr5130ctl read 02", median(tool, 0), median(tool, 1))]
    print(f"{rounds} rounds of {READS_PER_ROUND} chip.read() and {PROCESSES_PER_ROUND} "
          "zr5130ctl processes; medians per read:")
    print(f"{'':20} {'wall us':>10} {'CPU us':>10}")
    for name, wall, cpu in rows:
        print(f"{name:20} {wall:10.2f} {cpu:10.2f}")
    print(f"a zr5130ctl process per read costs {rows[1][1] / rows[0][1]:.0f}x the wall time "
          f"and {rows[1][2] / rows[0][2]:.0f}x the CPU time of chip.read")
    if rows[0][2] > LIMIT_US:
        print(f"chip.read costs {rows[0][2]:.2f} us of CPU, over the limit of {LIMIT_US} us")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
