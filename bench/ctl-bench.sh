#!/usr/bin/env bash
# zr5130ctl on the simulated board against a bare C++ program that prints one
# line, built the same way: wall and CPU time per run, side by side in one
# run of this script, and the CPU share of `watch --interval 10`.
# Usage: bench/ctl-bench.sh ZR5130CTL BARE_PRINT [RUNS]
# Build dir example: bench/ctl-bench.sh build/zr5130ctl build/bench/bare_print
# Exits 1 when a ratio is over its limit (read 1.5, dump 2.0, watch 1 %).
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 ZR5130CTL BARE_PRINT [RUNS]" >&2; exit 2; }
ctl=$1
bare=$2
runs=${3:-500}
unset ZR5130_ADAPTER ZR5130_TRACE

rounds=5
declare -A wall_s cpu_s

# Adds the wall and CPU seconds of runs/rounds runs of the command to its sums.
measure() {
  local name=$1 TIMEFORMAT='%3R %3U %3S' timing wall user sys
  shift
  timing=$( { time (for ((i = 0; i < runs / rounds; i++)); do "$@" >/dev/null; done); } 2>&1 )
  read -r wall user sys <<<"$timing"
  wall_s[$name]=$(awk -v a="${wall_s[$name]:-0}" -v w="$wall" 'BEGIN { print a + w }')
  cpu_s[$name]=$(awk -v a="${cpu_s[$name]:-0}" -v u="$user" -v s="$sys" 'BEGIN { print a + u + s }')
}

# Milliseconds per run.
per_run() { awk -v t="$1" -v n="$runs" 'BEGIN { printf "%.3f", t * 1000 / n }'; }

# Warm the page cache so that the first candidate is not the slower one.
"$bare" >/dev/null
"$ctl" --adapter sim read 02 >/dev/null

# Taken in turns, so that a change in the machine's load falls on all three.
for ((round = 0; round < rounds; round++)); do
  measure bare "$bare"
  measure read "$ctl" --adapter sim read 02
  measure dump "$ctl" --adapter sim dump
done
runs=$((runs / rounds * rounds))
bare_wall=$(per_run "${wall_s[bare]}") bare_cpu=$(per_run "${cpu_s[bare]}")
read_wall=$(per_run "${wall_s[read]}") read_cpu=$(per_run "${cpu_s[read]}")
dump_wall=$(per_run "${wall_s[dump]}") dump_cpu=$(per_run "${cpu_s[dump]}")

status=0
row() {  # name wall cpu limit
  local verdict
  verdict=$(awk -v w="$2" -v c="$3" -v bw="$bare_wall" -v bc="$bare_cpu" -v l="$4" \
    'BEGIN { rw = w / bw; rc = c / bc; printf "%5.2fx %5.2fx %s", rw, rc, (rw <= l && rc <= l) ? "ok" : "OVER" }')
  printf '%-22s %9.3f %9.3f   %s (limit %sx)\n' "$1" "$2" "$3" "$verdict" "$4"
  [[ $verdict != *OVER ]] || status=1
}
printf '%d runs each; per run:\n' "$runs"
printf '%-22s %9s %9s   %s\n' "program" "wall ms" "cpu ms" "wall/bare cpu/bare"
printf '%-22s %9.3f %9.3f\n' "bare C++ print" "$bare_wall" "$bare_cpu"
row "zr5130ctl read 02" "$read_wall" "$read_cpu" 1.5
row "zr5130ctl dump" "$dump_wall" "$dump_cpu" 2.0

# watch: 500 reads 10 ms apart; CPU time over wall time.
TIMEFORMAT='%3R %3U %3S'
timing=$( { time "$ctl" --adapter sim watch --interval 10 --count 500 >/dev/null; } 2>&1 )
read -r wall user sys <<<"$timing"
share=$(awk -v w="$wall" -v u="$user" -v s="$sys" 'BEGIN { printf "%.3f", (u + s) * 100 / w }')
printf '%-22s %9.0f %9.0f   %s%% of one core (limit 1%%)\n' "watch --interval 10" \
  "$(awk -v w="$wall" 'BEGIN { print w * 1000 }')" \
  "$(awk -v u="$user" -v s="$sys" 'BEGIN { print (u + s) * 1000 }')" "$share"
awk -v s="$share" 'BEGIN { exit !(s < 1) }' || status=1
exit $status
