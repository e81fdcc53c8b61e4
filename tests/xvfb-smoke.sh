#!/usr/bin/env bash
# The real program on a real X server: starts zr5130-eval on the simulated
# board under Xvfb, waits for the panel window, saves a PNG of it, opens the
# Timeline with Ctrl+L and saves a PNG of that (PNG's name with -timeline),
# closes the panel with Escape and checks the exit status and the pictures.
# Usage: xvfb-smoke.sh PROGRAM PNG. Exits 77 (skipped) without the X tools.
set -euo pipefail
# shellcheck source=tests/xvfb-lib.sh
source "$(dirname "$0")/xvfb-lib.sh"
XVFB_EXTRA_TOOLS=(import identify)
[ "${1:-}" = "--inside" ] || [ $# -eq 2 ] || { echo "usage: $0 PROGRAM PNG" >&2; exit 2; }
enter_xvfb "$0" "$@"

program=$2
png=$3
rm -f "$png"
start_panel "$program"
echo "window $window"

# Window size as the X server has it.
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "window size ${WIDTH}x${HEIGHT}"
if [ "$WIDTH" -lt 400 ] || [ "$HEIGHT" -lt 300 ]; then fail "window is only ${WIDTH}x${HEIGHT}"; fi

# The panel paints after it maps; give it a moment before the snapshot.
sleep 1
import -window "$window" "$png" || fail "import could not save the window"
[ -s "$png" ] || fail "no PNG written"
read -r png_width png_height < <(identify -format '%w %h\n' "$png")
echo "PNG $png: ${png_width}x${png_height}"
# The snapshot may include a border or lose a few pixels at the edges.
near() { [ $(($1 - $2)) -le 8 ] && [ $(($2 - $1)) -le 8 ]; }
if ! near "$png_width" "$WIDTH" || ! near "$png_height" "$HEIGHT"; then
  fail "PNG is ${png_width}x${png_height}, window is ${WIDTH}x${HEIGHT}"
fi

# The Timeline by its key, beside the panel, saved as a picture too.
xdotool windowfocus --sync "$window" || fail "could not focus the window"
xdotool key ctrl+l
timeline=$(timeout 10 xdotool search --sync --name "^Timeline - ZR5130\$" 2>/dev/null | head -n 1) || true
[ -n "$timeline" ] || fail "Ctrl+L opened no window titled \"Timeline - ZR5130\" within 10 s"
sleep 1
timeline_png="${png%.png}-timeline.png"
import -window "$timeline" "$timeline_png" || fail "import could not save the Timeline"
read -r png_width png_height < <(identify -format '%w %h\n' "$timeline_png")
echo "Timeline PNG $timeline_png: ${png_width}x${png_height}"
if [ "$png_width" -lt 400 ] || [ "$png_height" -lt 200 ]; then
  fail "the Timeline is only ${png_width}x${png_height}"
fi

# Without a window manager nothing gives the window the focus: give it
# directly, then type Escape. (Sending the key to the window instead races
# with its closing: the key release would go to a window already gone.)
xdotool windowfocus --sync "$window" || fail "could not focus the window"
xdotool key Escape
expect_clean_exit
echo "PASS: panel and Timeline shown, saved and closed with status 0"
