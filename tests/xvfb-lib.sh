# Shared by the Xvfb tests: run the calling script inside a virtual X
# display, start the panel there and find its window.
# shellcheck shell=bash

readonly kTitle="ZR5130SQ Evaluation Software"
readonly kSkip=77

# Re-runs the calling script under xvfb-run with "--inside" before its
# arguments, or exits with the skip code when the X tools are missing.
# Usage: enter_xvfb SCRIPT ARGS... (returns only inside the display)
enter_xvfb() {
  local script=$1
  shift
  [ "${1:-}" = "--inside" ] && return 0
  local tool
  for tool in xvfb-run Xvfb xdotool "${XVFB_EXTRA_TOOLS[@]}"; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is not installed (scripts/deps installs it)"
      exit $kSkip
    fi
  done
  # xvfb-run gives the server its own display number and authority file.
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$script" --inside "$@"
}

# Starts PROGRAM on the real X server with the given environment
# assignments; sets pid and window (the panel's X window id).
# Usage: start_panel PROGRAM [NAME=VALUE...]
start_panel() {
  local program=$1
  shift
  log=$(mktemp)
  # The caller may have chosen the offscreen platform for the other tests.
  env QT_QPA_PLATFORM=xcb ZR5130_ADAPTER=sim "$@" "$program" >"$log" 2>&1 &
  pid=$!
  # search --sync waits for ever; the program may also die before it shows.
  window=$(timeout 30 xdotool search --sync --name "^${kTitle}\$" 2>/dev/null | head -n 1) || true
  [ -n "$window" ] || fail "no window titled \"$kTitle\" within 30 s"
}

# Waits up to 10 s for the panel to end; fails unless it ended with status 0.
expect_clean_exit() {
  local _
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "the panel did not close within 10 s"
  local status=0
  wait "$pid" || status=$?
  pid=
  [ "$status" -eq 0 ] || fail "exit status $status"
}

log=
pid=
window=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
  if [ -n "$log" ]; then rm -f "$log"; fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  if [ -n "$log" ]; then
    echo "--- program output ---"
    cat "$log"
  fi
  exit 1
}
