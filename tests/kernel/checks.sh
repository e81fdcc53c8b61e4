# shellcheck shell=sh
# The checks of the test machine, sourced by its /init: zr5130ctl, the panel
# and the Python module on the bus of the kernel's i2c-stub, with i2c-tools
# as the witness of what they did there. One line per check, "ok   NAME" or
# "FAIL NAME: expected ..., got ...", then the count.

bus=0 chip=0x2c
checks=0 failed=0

ok() { checks=$((checks + 1)); echo "ok   $1"; }
fail() { checks=$((checks + 1)); failed=$((failed + 1)); echo "FAIL $1: $2"; }
# flat TEXT: its lines joined by " | ".
flat() { printf '%s\n' "$1" | awk 'NR > 1 { printf " | " } { printf "%s", $0 }'; }
# expect NAME EXPECTED ACTUAL
expect() {
  if [ "$2" = "$3" ]; then ok "$1"; else fail "$1" "expected '$(flat "$2")', got '$(flat "$3")'"; fi
}
# detail WHO FILE: FILE's lines under the check before, for a failure.
detail() { sed "s/^/  | $1: /" "$2"; }
count() { printf '%s' "$1" | grep -c ''; }

# busybox's sh runs its own applets before any of PATH, and it has an
# i2cset of its own: the witness is i2c-tools, by path.
i2cdetect() { /usr/sbin/i2cdetect "$@"; }
i2cget() { /usr/sbin/i2cget "$@"; }
i2cset() { /usr/sbin/i2cset "$@"; }
i2cdump() { /usr/sbin/i2cdump "$@"; }

# stub PARAMETERS...: a new i2c-stub, every register 00.
stub() { rmmod i2c_stub 2>/dev/null; insmod /lib/modules/i2c-stub.ko "$@"; }
ctl() { zr5130ctl --adapter /dev/i2c-$bus "$@"; }
reg() { i2cget -y $bus $chip "$1" b; }
# pairs FILE: "REG VALUE" for every cell of an i2cdump table but XX.
pairs() {
  awk '/^[0-9a-f]0: / { for (i = 2; i <= 17; i++) if ($i != "XX")
         print toupper(substr($1, 1, 1) sprintf("%x", i - 2) " " $i) }' "$1"
}
# written TRACE: "REG VALUE" for every write the trace gives as done;
# accessed TRACE: for every read and write.
written() { awk '$1 == "W" && $4 == "ok" { print $2, $3 }' "$1"; }
accessed() { awk '$4 == "ok" { print $2, $3 }' "$1"; }
# not_in FILE LINES: the lines FILE does not hold, or "none".
not_in() {
  missing=$(printf '%s\n' "$2" | grep -vxF -f "$1")
  if [ -n "$missing" ]; then flat "$missing"; else echo none; fi
}
# not_on_chip PAIRS: the "REG VALUE" lines that i2cdump reads otherwise, or "none".
not_on_chip() {
  i2cdump -y $bus $chip b >/tmp/i2cdump.txt
  pairs /tmp/i2cdump.txt >/tmp/chip.pairs
  not_in /tmp/chip.pairs "$1"
}
# fails_in_one_line NAME COMMAND...: exit status 1 and one line on standard error.
fails_in_one_line() {
  name=$1
  shift
  error=$("$@" 2>&1 >/dev/null)
  status=$?
  if [ "$status $(count "$error")" = "1 1" ]; then
    ok "$name: $error"
  else
    fail "$name" "exit status 1 and one line on standard error, got $status and $(count "$error"): $(flat "$error")"
  fi
}

insmod /lib/modules/i2c-dev.ko
stub chip_addr=$chip
expect "Linux $(uname -r): i2c-stub's bus" "i2c-0 SMBus stub driver" \
  "$(i2cdetect -l | awk -F '\t' '{ sub(/ +$/, "", $3); print $1, $3 }')"

# zr5130ctl
expect "zr5130ctl adapters lists the stub's bus" "i2c:SMBus stub driver /dev/i2c-0: SMBus stub driver" \
  "$(zr5130ctl adapters | grep 'i2c-0' | tr -s ' ')"

i2cset -y $bus $chip 0xa5 0xe9
ctl set pwm-frequency=9616hz >/dev/null
status=$?
expect "zr5130ctl set pwm-frequency=9616hz on A5=E9: exit status, A5 by i2cget" "0 0xe4" "$status $(reg 0xa5)"
i2cset -y $bus $chip 0xa5 0xe2
expect "zr5130ctl get pwm-frequency after i2cset A5=E2" "PWM Frequency = 7212 Hz (A5 bits 3-0 = 2)" \
  "$(ctl get pwm-frequency 2>&1)"

# Every register a value of its own, so that a register read for another
# cannot pass; written 32 at a time (I2C block writes).
n=0
while [ $n -lt 256 ]; do
  [ $((n % 32)) = 0 ] && block=$(printf '0x%02x' $n)
  block="$block $(printf '0x%02x' $(((n * 7 + 3) % 256)))"
  n=$((n + 1))
  # shellcheck disable=SC2086 # the block's bytes are arguments each
  [ $((n % 32)) = 0 ] && i2cset -y $bus $chip $block i
done
ctl dump >/tmp/ctl-dump.txt
status=$?
dumped=$(pairs /tmp/ctl-dump.txt)
expect "zr5130ctl dump: exit status, registers, those i2cdump reads otherwise" "0 27 none" \
  "$status $(count "$dumped") $(not_on_chip "$dumped")"

stub chip_addr=$chip
ctl --yes --trace /tmp/restore-trace restore /data/e08-programmed.txt >/dev/null
status=$?
restored=$(written /tmp/restore-trace)
pairs /data/e08-programmed.txt >/tmp/file.pairs
expect "zr5130ctl restore: exit status, writes, those not in the file, those i2cdump reads otherwise" \
  "0 21 none none" "$status $(count "$restored") $(not_in /tmp/file.pairs "$restored") $(not_on_chip "$restored")"

(sleep 1.5 && i2cset -y $bus $chip 0xa5 0x11) &
watched=$(ctl watch --interval 500 --count 10 A5 2>&1)
status=$?
wait
expect "zr5130ctl watch --count 10 A5, i2cset A5=11 in between" "0 A5 24 | A5 24 -> 11" \
  "$status $(flat "$(printf '%s\n' "$watched" | sed 's/^[^ ]* //')")"

stub chip_addr=0x2d
fails_in_one_line "zr5130ctl read 02, no chip at 0x2c" ctl read 02
# All but byte data (I2C_FUNC_SMBUS_BYTE_DATA, 0x00180000).
stub chip_addr=$chip functionality=0xffe7ffff
fails_in_one_line "zr5130ctl read 02, bus without byte-data access" ctl read 02

# The Python module, the bus chosen by its adapter's name
stub chip_addr=$chip
python() {
  python3 -S -c "import sys; sys.path.insert(0, '/opt/zr5130'); import zr5130
chip = zr5130.open('i2c:SMBus stub')
$1" 2>&1
}
i2cset -y $bus $chip 0xa5 0xe9
expect "python: set pwm_frequency='9616 Hz' on A5=E9, then get; A5 by i2cget" "9616 Hz 0xe4" \
  "$(python "chip.set(pwm_frequency='9616 Hz'); print(chip.get('pwm-frequency').meaning)") $(reg 0xa5)"
i2cset -y $bus $chip 0xa5 0xe2
expect "python: get pwm-frequency after i2cset A5=E2" "2" "$(python "print(chip.get('pwm-frequency').number)")"

# The panel on Qt's offscreen platform: the program's start-up, then the
# panel tests' Readback All and Load.
export QT_QPA_PLATFORM=offscreen
stub chip_addr=$chip
ZR5130_ADAPTER="i2c:SMBus stub" ZR5130_TRACE=/tmp/panel-trace zr5130-eval 2>/tmp/panel-errors &
panel=$!
# 0x72 read, 18 writes, a readback of 26 registers.
seconds=0
while [ "$(grep -c '' /tmp/panel-trace 2>/dev/null)" != 45 ] && [ $seconds -lt 120 ] && kill -0 $panel; do
  sleep 1
  seconds=$((seconds + 1))
done
kill -TERM $panel
wait $panel
status=$?
expect "zr5130-eval on a blank chip: exit status, trace lines, writes done, accesses i2cdump reads otherwise" \
  "0 45 18 none" \
  "$status $(grep -c '' /tmp/panel-trace) $(count "$(written /tmp/panel-trace)") $(not_on_chip "$(accessed /tmp/panel-trace)")"
[ $status = 0 ] || detail zr5130-eval /tmp/panel-errors

stub chip_addr=$chip
panel_tests --gtest_filter='I2cStub*' >/tmp/panel-tests 2>&1
status=$?
expect "panel_tests I2cStub*: start-up, Readback All after i2cset, Load of E08" "0 2" \
  "$status $(grep -c '^\[       OK \]' /tmp/panel-tests)"
[ $status = 0 ] || detail panel_tests /tmp/panel-tests
e08_writes="01 00
98 1B
9E 22
A0 FF
A1 CF
A2 2F
A3 5E
A4 72
A5 24
A6 80
A7 FE
A8 00
A9 A0
AA 0F
AB 00
AC 00
AD 00
AE 0F
AF 00"
expect "after the panel's Load of E08, the registers i2cdump reads otherwise" none "$(not_on_chip "$e08_writes")"

echo "kernel test: $checks checks, $failed failed"
