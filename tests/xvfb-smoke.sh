#!/usr/bin/env bash
# The real program on a real X server: starts zr5130-eval on the simulated
# board under Xvfb, waits for the panel window, saves a PNG of it, closes it
# with Escape and checks the exit status and the picture.
# Usage: xvfb-smoke.sh PROGRAM PNG. Exits 77 (skipped) without the X tools.
set -euo pipefail

readonly kTitle="ZR5130SQ Evaluation Software"
readonly kSkip=77

if [ "${1:-}" != "--inside" ]; then
  [ $# -eq 2 ] || { echo "usage: $0 PROGRAM PNG" >&2; exit 2; }
  for tool in xvfb-run Xvfb xdotool import identify; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is not installed (scripts/deps installs it)"
      exit $kSkip
    fi
  done
  # xvfb-run gives the server its own display number and authority file.
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" --inside "$@"
fi

program=$2
png=$3
rm -f "$png"

log=$(mktemp)
pid=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
  rm -f "$log"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  echo "--- program output ---"
  cat "$log"
  exit 1
}

# The caller may have chosen the offscreen platform for the other tests.
QT_QPA_PLATFORM=xcb ZR5130_ADAPTER=sim "$program" >"$log" 2>&1 &
pid=$!

# Each search waits up to a second for the window; between them, make sure
# the program has not died.
window=
for _ in $(seq 30); do
  kill -0 "$pid" 2>/dev/null || fail "the program ended before its window showed"
  window=$(timeout 1 xdotool search --sync --name "^${kTitle}\$" 2>/dev/null | head -n 1) || true
  [ -z "$window" ] || break
done
[ -n "$window" ] || fail "no window titled \"$kTitle\" within 30 s"
echo "window $window"

# Window size as the X server has it.
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "window size ${WIDTH}x${HEIGHT}"
[ "$WIDTH" -ge 400 ] && [ "$HEIGHT" -ge 300 ] || fail "window is only ${WIDTH}x${HEIGHT}"

# The panel paints after it maps; give it a moment before the snapshot.
sleep 1
import -window "$window" "$png" || fail "import could not save the window"
[ -s "$png" ] || fail "no PNG written"
read -r png_width png_height < <(identify -format '%w %h\n' "$png")
echo "PNG $png: ${png_width}x${png_height}"
# The snapshot may include a border or lose a few pixels at the edges.
near() { [ $(($1 - $2)) -le 8 ] && [ $(($2 - $1)) -le 8 ]; }
near "$png_width" "$WIDTH" && near "$png_height" "$HEIGHT" \
  || fail "PNG is ${png_width}x${png_height}, window is ${WIDTH}x${HEIGHT}"

# Without a window manager nothing gives the window the focus: give it
# directly, then type Escape through the XTEST extension. (key --window sends
# the release to a window that the press has already closed: BadWindow.)
xdotool windowfocus --sync "$window" || fail "could not focus the window"
xdotool key Escape || fail "could not type Escape"

for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  fail "Escape did not close the panel within 10 s"
fi
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status"
echo "PASS: panel shown, saved and closed with status 0"
