#!/usr/bin/env bash
# The tools on Debian's own Linux kernel: boots the kernel package that
# linux-image-amd64 depends on under QEMU (no KVM needed), with i2c-dev and
# i2c-stub emulating a chip at 0x2c, and checks zr5130ctl, the panel and the
# Python module of BUILD there, with i2c-tools as the witness of what reached
# the bus (tests/kernel/checks.sh). One line per check; exits 1 on any
# failure, or when the kernel cannot be fetched.
#
# The kernel is kept in ${XDG_CACHE_HOME:-~/.cache}/zr5130/kernel-test, so
# only a new kernel version downloads; the initramfs is made anew from the
# installed packages and BUILD in BUILD/kernel-test/, with the console log.
# ZR5130_SKIP_KERNEL_TEST=1 skips the test, for machines without network.
# Usage: tests/kernel/run.sh [BUILD]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)

if [ "${ZR5130_SKIP_KERNEL_TEST:-}" = 1 ]; then
  echo "kernel test: skipped (ZR5130_SKIP_KERNEL_TEST=1)"
  exit 0
fi
for tool in qemu-system-x86_64 busybox /usr/sbin/i2cdump xz; do
  command -v "$tool" >/dev/null || { echo "kernel test: $tool is missing; scripts/deps test installs it" >&2; exit 1; }
done

kernel=$("$here/fetch-kernel.sh" "${XDG_CACHE_HOME:-$HOME/.cache}/zr5130/kernel-test")
work=$build/kernel-test
mkdir -p "$work"
"$here/make-initramfs.sh" "$build" "$kernel" "$work/initramfs.cpio"

console=$work/console.log
# No network card, so no boot ROM to wait for; no_timer_check, since on a
# busy host the emulated timer can fail the kernel's check and stop the boot.
timeout 600 qemu-system-x86_64 -m 1024 -nographic -no-reboot -nic none \
  -kernel "$kernel/vmlinux" -initrd "$work/initramfs.cpio" \
  -append "console=ttyS0 quiet panic=-1 no_timer_check" </dev/null | tr -d '\r' | tee "$console" |
  grep --line-buffered -E '^(ok   |FAIL |  \| |kernel test: )' || true

summary=$(grep '^kernel test: [0-9]* checks, [0-9]* failed$' "$console" || true)
if [ -z "$summary" ]; then
  echo "kernel test: the machine stopped before the checks ended; its console is in $console" >&2
  exit 1
fi
[[ $summary == *", 0 failed" ]] || { echo "kernel test: the machine's console is in $console" >&2; exit 1; }
