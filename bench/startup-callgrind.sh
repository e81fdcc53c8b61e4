#!/usr/bin/env bash
# Instructions of a start-up closed at once, counted by callgrind: PROGRAM on
# the simulated board and the offscreen platform, left until it is shown,
# painted and idle, then closed with SIGTERM as Ctrl+C closes it. Prints the
# total and the costliest of the program's own functions.
# Usage: bench/startup-callgrind.sh PROGRAM [SECONDS]
# (SECONDS: how long to leave it under valgrind first, 45 by default.)
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 PROGRAM [SECONDS]" >&2; exit 2; }
program=$1
seconds=${2:-45}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"

# Its own settings folder: nothing remembered changes what it starts on.
QT_QPA_PLATFORM=offscreen ZR5130_ADAPTER=sim XDG_CONFIG_HOME="$work" XDG_RUNTIME_DIR="$work/runtime" \
  valgrind --tool=callgrind --callgrind-out-file="$work/out" "$program" >/dev/null 2>"$work/log" &
pid=$!
sleep "$seconds"
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
# Killed before its signal handler was in place: it was not up yet.
[ "$status" -eq 0 ] || { echo "$program ended with status $status; give it more time" >&2; exit 1; }
callgrind_annotate --inclusive=yes "$work/out" |
  grep -E "PROGRAM TOTALS|CEvalApp::InitInstance|CEvalDlg::CEvalDlg|BuildDialog|DialogUnits::ForFont|QDialog::exec|paintAndFlush|OnInitDialog|LoadPanelIcon|~CEvalDlg" |
  sed 's/ \[.*//'
