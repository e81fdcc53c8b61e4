#!/usr/bin/env bash
# The Debian package as a bench PC gets it: cmake --install into a temporary
# prefix and cpack -G DEB must both hold every file; the package's fields and
# files are checked with dpkg-deb; unpacked into a temporary folder, both
# programs print their version, and the panel runs on the offscreen platform
# against the simulated board until SIGTERM closes it.
# Usage: package-test.sh CMAKE CPACK BUILD_DIR SOURCE_DIR VERSION WITH_CTL(0|1)
# Exits 77 (skipped) without dpkg-deb, dpkg-shlibdeps, desktop-file-validate or groff.
# shellcheck disable=SC2015  # "A && B || fail" fails when either is false, as meant
set -euo pipefail
[ $# -eq 6 ] || { echo "usage: $0 CMAKE CPACK BUILD_DIR SOURCE_DIR VERSION WITH_CTL" >&2; exit 2; }
cmake=$1 cpack=$2 build=$3 source=$4 version=$5 with_ctl=$6
for tool in dpkg-deb dpkg-shlibdeps desktop-file-validate groff; do
  command -v "$tool" >/dev/null || { echo "SKIP: no $tool (scripts/deps test installs it)"; exit 77; }
done
work=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

doc=usr/share/doc/zr5130-eval
expected=(usr/bin/zr5130-eval usr/share/applications/zr5130-eval.desktop
          usr/share/man/man1/zr5130-eval.1.gz "$doc/README.md" "$doc/CHANGELOG.md"
          "$doc/examples/60-zr5130-i2c.rules")
for icon in "$source"/res/art/icon-*.png; do
  size=${icon##*/icon-} size=${size%.png}
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/zr5130-eval.png")
done
for dump in "$source"/examples/*.txt; do expected+=("$doc/examples/${dump##*/}"); done
if [ "$with_ctl" = 1 ]; then
  expected+=(usr/bin/zr5130ctl)
  [ -f "$source/docs/man/zr5130ctl.1" ] && expected+=(usr/share/man/man1/zr5130ctl.1.gz)
fi
# Usage: expect_files WHERE < listing of relative paths
expect_files() {
  local listing path
  listing=$(sed 's|^\./||')
  for path in "${expected[@]}"; do grep -qxF "$path" <<<"$listing" || fail "$1 lacks $path"; done
}

"$cmake" --install "$build" --prefix "$work/prefix/usr" >"$work/log" 2>&1 \
  || { cat "$work/log"; fail "cmake --install failed"; }
expect_files "the installed tree" <<<"$(cd "$work/prefix" && find . -type f)"

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/log" 2>&1 \
  || { cat "$work/log"; fail "cpack failed"; }
deb=$(echo "$work"/out/*.deb)
[ -f "$deb" ] || fail "expected one .deb, found: $deb"
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package) $(field Version)" = "zr5130-eval $version" ] \
  || fail "package $(field Package) $(field Version), expected zr5130-eval $version"
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "no Maintainer or Description"
echo "${deb##*/}: Depends: $(field Depends)"
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  grep -q "\b$library (>= " <<<"$(field Depends)" || fail "Depends lacks $library"
done
listing=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
expect_files "the package" <<<"$listing"
# Nothing takes effect by being installed: no udev rule, nothing in /etc.
! grep -E '^\./(etc|lib|usr/lib)/' <<<"$listing" || fail "the package installs the files above"

root=$work/root
dpkg-deb --extract "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/zr5130-eval.desktop" || fail "desktop entry"
for page in "$root"/usr/share/man/man1/*.gz; do
  warnings=$(zcat "$page" | groff -t -man -ww -z 2>&1) && [ -z "$warnings" ] \
    || fail "${page##*/}: $warnings"
done

# --version prints the version and exits 0 without a window; the timeout
# keeps a program that ignores the option from hanging the test.
check_version() {
  local out status=0
  out=$(QT_QPA_PLATFORM=offscreen timeout 20 "$1" --version 2>&1) || status=$?
  [ "$status" -eq 0 ] && grep -qwF "$version" <<<"$out" \
    || fail "${1##*/} --version: exit status $status, printed '$out'; expected version $version"
  echo "${1##*/} --version: $out"
}
check_version "$root/usr/bin/zr5130-eval"

# The trace ends with the readback of register 0x9E (20 after the start-up
# table) once the start-up is done. A build that writes its trace only at
# exit leaves it empty: the signal then waits for the start-up to end.
trace=$work/trace.txt
QT_QPA_PLATFORM=offscreen ZR5130_ADAPTER=sim ZR5130_TRACE="$trace" \
  "$root/usr/bin/zr5130-eval" >"$work/log" 2>&1 &
pid=$!
for tenth in $(seq 300); do
  [ "$(tail -n 1 "$trace" 2>/dev/null)" = "R 9E 20 ok" ] && break
  [ "$tenth" -ge 30 ] && [ ! -s "$trace" ] && break
  sleep 0.1
done
kill -TERM "$pid" 2>/dev/null || { cat "$work/log"; fail "the panel ended before SIGTERM"; }
status=0
timeout 10 tail --pid="$pid" -f /dev/null || fail "the panel did not close within 10 s of SIGTERM"
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || { cat "$work/log"; fail "the panel's exit status after SIGTERM was $status"; }
[ "$(head -n 1 "$trace") $(tail -n 1 "$trace")" = "R 72 00 ok R 9E 20 ok" ] \
  || { cat "$trace"; fail "the trace does not hold the whole start-up"; }
echo "panel: start-up of $(wc -l <"$trace") register accesses, exit status 0 after SIGTERM"

if [ "$with_ctl" = 1 ]; then
  check_version "$root/usr/bin/zr5130ctl"
  # The shipped examples serve as simulated boards.
  out=$(timeout 20 "$root/usr/bin/zr5130ctl" --adapter "sim:$root/$doc/examples/e08-programmed.txt" \
    read 72 A5) || fail "zr5130ctl read: exit status $?"
  [ "$out" = $'83\n24' ] || fail "zr5130ctl read 72 A5 on e08-programmed.txt printed '$out'"
fi
echo "PASS: ${deb##*/} installed, checked and run"
