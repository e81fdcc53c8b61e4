#!/usr/bin/env bash
# Builds the test machine's initramfs OUT: busybox, i2c-tools, the programs
# of BUILD (zr5130ctl, zr5130-eval, the panel tests, the Python module) with
# the libraries ldd names, Debian's python3 with just what importing the
# module takes, Qt's offscreen platform with /etc/fonts and one font, the
# kernel's two I2C modules from KERNEL, and the checks the machine runs.
# Usage: make-initramfs.sh BUILD KERNEL OUT
set -euo pipefail
build=$1 kernel=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
python=/usr/bin/python3

root=$(mktemp -d "${out}.root.XXXXXX")
trap 'rm -rf "$root"' EXIT
# The host's merged /usr: /lib, /bin and the others are links into /usr,
# where Qt looks for its plugins whichever path ldd names.
for top in bin sbin lib lib64; do
  if [ -L "/$top" ]; then
    mkdir -p "$root/$(readlink "/$top")"
    ln -s "$(readlink "/$top")" "$root/$top"
  fi
done

# put FILE... : copied to the same path inside, links followed.
put() { cp -R -L --parents "$@" "$root/"; }
# put_program FILE: into /opt/zr5130, without the debug information the
# package build gives it (the package ships it stripped too).
put_program() { strip --strip-debug -o "$root/opt/zr5130/$(basename "$1")" "$1"; }
# put_libraries FILE... : every library the files load.
put_libraries() {
  ldd "$@" | awk '/=> \// { print $3 } /^\t\/[^ ]+ \(/ { print $1 }' | sort -u | while read -r lib; do
    put "$lib"
  done
}

programs=("$build/zr5130ctl" "$build/zr5130-eval" "$build/tests/panel_tests")
module=$(find "$build/python" -maxdepth 1 -name 'zr5130*.so' | head -n 1)
[ -n "$module" ] || { echo "kernel test: no Python module in $build/python" >&2; exit 1; }
mkdir -p "$root/opt/zr5130"
for program in "${programs[@]}" "$module"; do
  put_program "$program"
done
qt_core=$(ldd "$build/zr5130-eval" | awk '/libQt6Core/ { print $3 }')
offscreen=$(dirname "$qt_core")/qt6/plugins/platforms/libqoffscreen.so
i2c_tools=(/usr/sbin/i2cdetect /usr/sbin/i2cget /usr/sbin/i2cset /usr/sbin/i2cdump)
put "$offscreen" "${i2c_tools[@]}" "$python" /bin/busybox /etc/fonts /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
put_libraries "${programs[@]}" "$module" "$offscreen" "${i2c_tools[@]}" "$python"
# Python finds its library by os.py, its extension folder by lib-dynload;
# of the library it gets only the modules it loads to import the module.
stdlib=$("$python" -S -c 'import sysconfig; print(sysconfig.get_path("stdlib"))')
put "$stdlib/os.py"
mkdir -p "$root/$stdlib/lib-dynload"
"$python" -S - "$build/python" <<'EOF' | while read -r file; do put "$file"; done
import importlib.util, os, sys
sys.path.insert(0, sys.argv[1])
import zr5130
for name, loaded in list(sys.modules.items()):
    origin = getattr(getattr(loaded, "__spec__", None), "origin", None) or ""
    if origin.endswith(".py"):
        print(origin)
        cached = importlib.util.cache_from_source(origin)
        if os.path.exists(cached):
            print(cached)
EOF

mkdir -p "$root/lib/modules" "$root/data" "$root/proc" "$root/sys" "$root/dev" "$root/tmp"
cp "$kernel"/*.ko "$root/lib/modules/"
cp "$source_dir/examples/e08-programmed.txt" "$root/data/"
cp "$here/init" "$here/checks.sh" "$root/"
chmod 755 "$root/init"

(cd "$root" && find . | busybox cpio -o -H newc 2>/dev/null) >"$out"
