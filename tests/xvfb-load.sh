#!/usr/bin/env bash
# End to end on a real X server: with the register trace on, the user picks
# "E08" in the Config list and clicks Load; the trace must show the start-up,
# then register 0x01, the 18 values of preset E8 and the full readback.
# Usage: xvfb-load.sh PROGRAM TRACE. Exits 77 (skipped) without the X tools.
set -euo pipefail
# shellcheck source=tests/xvfb-lib.sh
source "$(dirname "$0")/xvfb-lib.sh"
XVFB_EXTRA_TOOLS=()
[ "${1:-}" = "--inside" ] || [ $# -eq 2 ] || { echo "usage: $0 PROGRAM TRACE" >&2; exit 2; }
enter_xvfb "$0" "$@"

program=$2
trace=$3
rm -f "$trace"
start_panel "$program" ZR5130_TRACE="$trace"
eval "$(xdotool getwindowgeometry --shell "$window")"
sleep 1

# Clicks a point given in the panel's dialog units (575 x 435 across the window).
click_at() { xdotool mousemove --window "$window" $(($1 * WIDTH / 575)) $(($2 * HEIGHT / 435)) click 1; }

xdotool windowfocus --sync "$window"
# Open the Config list by its arrow, go down from E00 to E08, take it.
click_at 453 197
sleep 1
xdotool key Down Down Down Down Down Down Down Down Return
sleep 0.3
# Load.
click_at 510 195
sleep 0.5
# Exit.
click_at 232 25
expect_clean_exit

expected=$(
  echo "R 72 00 ok"
  for rv in 98:00 9E:20 A0:FF A1:CF A2:AF A3:5E A4:72 A5:04 A6:80 A7:FF A8:00 A9:A0 AA:0F \
            AB:00 AC:00 AD:00 AE:13 AF:00; do echo "W ${rv%:*} ${rv#*:} ok"; done
  readback() {
    for rv in 00:00 01:$1 02:30 03:00 04:00 05:00 06:00 A0:FF A1:CF A2:$2 A3:5E A4:72 A5:$3 \
              A6:80 A7:$4 A8:00 A9:A0 AA:0F AB:00 AC:00 AD:00 AE:$5 AF:00 72:00 98:$6 9E:$7; do
      echo "R ${rv%:*} ${rv#*:} ok"
    done
  }
  readback 00 AF 04 FF 13 00 20
  echo "W 01 00 ok"
  for rv in 98:1B 9E:22 A0:FF A1:CF A2:2F A3:5E A4:72 A5:24 A6:80 A7:FE A8:00 A9:A0 AA:0F \
            AB:00 AC:00 AD:00 AE:0F AF:00; do echo "W ${rv%:*} ${rv#*:} ok"; done
  readback 00 2F 24 FE 0F 1B 22
)
diff <(echo "$expected") "$trace" || fail "the trace differs from the expected one (above)"
echo "PASS: E08 loaded through the real window; trace of $(wc -l <"$trace") lines as expected"
