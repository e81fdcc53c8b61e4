#!/usr/bin/env bash
# The panel as a screen reader sees it: under Xvfb with an accessibility bus,
# a11y-check.py reads the tree over AT-SPI and toggles "Fast Resume" and
# "Enable Backlight" through their toggle actions; the trace must end with
# the two writes of register 0x01.
# Usage: xvfb-a11y.sh PROGRAM TRACE. Exits 77 (skipped) without the tools.
set -euo pipefail
# shellcheck source=tests/xvfb-lib.sh
source "$(dirname "$0")/xvfb-lib.sh"
readonly kBusLauncher=/usr/libexec/at-spi-bus-launcher
XVFB_EXTRA_TOOLS=(dbus-run-session "$kBusLauncher")
[ "${1:-}" = "--inside" ] || [ $# -eq 2 ] || { echo "usage: $0 PROGRAM TRACE" >&2; exit 2; }
# The system's own Python has the AT-SPI bindings, whatever python3 PATH finds.
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null \
  || { echo "SKIP: python3-pyatspi is not installed (scripts/deps installs it)"; exit $kSkip; }
enter_xvfb "$0" "$@"
# A session bus of its own, for the accessibility bus to announce itself on.
[ -n "${ZR5130_A11Y_SESSION:-}" ] || ZR5130_A11Y_SESSION=1 exec dbus-run-session -- "$0" "$@"

program=$2
trace=$3
rm -f "$trace"
"$kBusLauncher" --launch-immediately &
bus=$!
trap 'kill "$bus" 2>/dev/null || true; cleanup' EXIT
start_panel "$program" ZR5130_TRACE="$trace" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/bin/python3 "$(dirname "$0")/a11y-check.py" || fail "the accessibility tree is not as expected (above)"
xdotool windowfocus --sync "$window"
xdotool key Escape
expect_clean_exit

diff <(printf 'W 01 80 ok\nW 01 81 ok\n') <(tail -n 2 "$trace") \
  || fail "the toggle actions did not write register 0x01 (trace ends as above)"
echo "PASS: tree, names and toggle actions as a screen reader sees them"
