#!/usr/bin/env bash
# Puts Debian's own kernel, the one the package linux-image-amd64 depends on,
# in CACHE/<package>_<version>/: vmlinux, i2c-dev.ko and i2c-stub.ko. A kernel
# already there is used as it is, so only a new kernel version downloads.
# Prints that folder. Fails with one line when the package cannot be fetched.
#
# vmlinux is the kernel unpacked from vmlinuz's self-extractor (an xz
# stream): QEMU boots it through its PVH entry, and the machine is spared
# unpacking it, which takes the emulated CPU longer than the rest of the boot.
# Usage: fetch-kernel.sh CACHE
set -euo pipefail
cache=$1

say() { echo "kernel test: $*" >&2; }

# "Depends: linux-image-6.1.0-57-amd64 (= 6.1.192-3)": one look at the apt
# lists, which costs a second or more where apt keeps no cache of them.
depends=$(apt-cache show --no-all-versions linux-image-amd64 2>/dev/null |
  sed -n 's/^Depends: \(linux-image-[^ ]*-amd64\) (= \([^)]*\)).*/\1 \2/p')
[ -n "$depends" ] || { say "the apt lists name no kernel for linux-image-amd64; run apt-get update"; exit 1; }
read -r package version <<<"$depends"
kernel=$cache/${package}_$version

if [ ! -f "$kernel/vmlinux" ]; then
  mkdir -p "$cache"
  work=$(mktemp -d "$cache/fetch.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  if ! (cd "$work" && apt-get download -qq "$package=$version" >apt.log 2>&1); then
    say "cannot fetch $package $version with apt-get download (no network?): $(grep -m 1 '^E:' "$work/apt.log" || tail -n 1 "$work/apt.log")"
    exit 1
  fi
  # Only the three files the test boots with, not the 400 MB of modules.
  dpkg-deb --fsys-tarfile "$work"/*.deb | tar -x -C "$work" --wildcards \
    './boot/vmlinuz-*' '*/drivers/i2c/i2c-dev.ko' '*/drivers/i2c/i2c-stub.ko'
  mkdir "$work/kernel"
  vmlinuz=$(echo "$work"/boot/vmlinuz-*)
  xz_start=$(LC_ALL=C grep -a -b -o -m 1 -P '\xfd7zXZ\x00' "$vmlinuz" | head -n 1 | cut -d : -f 1 || true)
  # xz complains about what follows its stream; the ELF header tells whether
  # a kernel came out.
  tail -c +$((${xz_start:-0} + 1)) "$vmlinuz" | xz -dc 2>/dev/null >"$work/kernel/vmlinux" || true
  if [ -z "$xz_start" ] || [ "$(head -c 4 "$work/kernel/vmlinux" | od -An -c | tr -d ' ')" != '177ELF' ]; then
    say "cannot unpack $(basename "$vmlinuz"): no xz-packed kernel in it"
    exit 1
  fi
  find "$work/lib" -name '*.ko' -exec mv {} "$work/kernel/" \;
  # Older kernels go; the new one appears whole or not at all.
  find "$cache" -mindepth 1 -maxdepth 1 -name 'linux-image-*' -exec rm -rf {} +
  mv "$work/kernel" "$kernel"
fi
echo "$kernel"
