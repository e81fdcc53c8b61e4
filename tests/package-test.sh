#!/usr/bin/env bash
# The Debian package as a bench PC gets it: builds it with CPack, checks its
# fields and files with dpkg-deb, unpacks it into a temporary folder and runs
# the programs from there: --version, and the panel on the offscreen platform
# against the simulated board, closed by SIGTERM.
# Also installs into a temporary prefix with cmake --install and expects the
# same files there.
# Usage: package-test.sh CMAKE CPACK BUILD_DIR SOURCE_DIR VERSION WITH_CTL
# (WITH_CTL is 1 when the build has zr5130ctl, else 0).
# Exits 77 (skipped) without dpkg-deb, dpkg-shlibdeps or desktop-file-validate.
set -euo pipefail
[ $# -eq 6 ] || { echo "usage: $0 CMAKE CPACK BUILD_DIR SOURCE_DIR VERSION WITH_CTL" >&2; exit 2; }
cmake=$1 cpack=$2 build=$3 source=$4 version=$5
with_ctl=false
[ "$6" = 1 ] && with_ctl=true

for tool in dpkg-deb dpkg-shlibdeps desktop-file-validate; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (scripts/deps test installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

expected=(
  usr/bin/zr5130-eval
  usr/share/applications/zr5130-eval.desktop
  usr/share/man/man1/zr5130-eval.1.gz
  usr/share/doc/zr5130-eval/README.md
  usr/share/doc/zr5130-eval/CHANGELOG.md
  usr/share/doc/zr5130-eval/examples/60-zr5130-i2c.rules
)
for icon in "$source"/res/art/icon-*.png; do
  size=${icon##*/icon-}
  size=${size%.png}
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/zr5130-eval.png")
done
for dump in "$source"/examples/*.txt; do
  expected+=("usr/share/doc/zr5130-eval/examples/${dump##*/}")
done
if $with_ctl; then
  expected+=(usr/bin/zr5130ctl)
  [ -f "$source/docs/man/zr5130ctl.1" ] && expected+=(usr/share/man/man1/zr5130ctl.1.gz)
fi

# Fails unless every expected file is in the listing (paths without "./").
expect_files() {
  local listing=$1 where=$2 path
  for path in "${expected[@]}"; do
    grep -qxF "$path" <<<"$listing" || fail "$where lacks $path"
  done
}

echo "== cmake --install into a temporary prefix"
"$cmake" --install "$build" --prefix "$work/prefix/usr" >"$work/install.log" 2>&1 \
  || { cat "$work/install.log"; fail "cmake --install failed"; }
expect_files "$(cd "$work/prefix" && find . -type f | sed 's|^\./||')" "the installed tree"

echo "== cpack -G DEB"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack failed"; }
debs=("$work"/out/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then fail "expected one .deb, found: ${debs[*]}"; fi
deb=${debs[0]}
echo "package ${deb##*/}"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = zr5130-eval ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', the project's is $version"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
echo "Depends: $depends"
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  grep -q "\b$library (>= " <<<"$depends" || fail "Depends lacks $library with its version"
done

listing=$(dpkg-deb --contents "$deb")
expect_files "$(awk '{print $NF}' <<<"$listing" | sed 's|^\./||')" "the package"
# Nothing that takes effect by being installed: no udev rule, no /etc.
if grep -E ' \./(etc|lib|usr/lib)/' <<<"$listing"; then fail "the package installs the files above"; fi
grep -qE '^-rwxr-xr-x root/root .* \./usr/bin/zr5130-eval$' <<<"$listing" \
  || fail "usr/bin/zr5130-eval is not an executable owned by root"

root=$work/root
dpkg-deb --extract "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/zr5130-eval.desktop" \
  || fail "the desktop entry is not valid"
if command -v groff >/dev/null; then
  for page in "$root"/usr/share/man/man1/*.1.gz; do
    warnings=$(zcat "$page" | groff -t -man -ww -z 2>&1) || fail "groff cannot read ${page##*/}"
    [ -z "$warnings" ] || fail "${page##*/}: $warnings"
  done
fi

# --version prints the project's version and exits 0 without a window. The
# timeout and the offscreen platform keep a program that ignores the option
# from hanging the test.
check_version() {
  local program=$1 out status=0
  out=$(QT_QPA_PLATFORM=offscreen timeout 20 "$program" --version 2>"$work/version.err") \
    || status=$?
  [ "$status" -eq 0 ] || fail "${program##*/} --version: exit status $status ($(cat "$work/version.err"))"
  grep -qwF "$version" <<<"$out" || fail "${program##*/} --version printed '$out', not version $version"
  echo "${program##*/} --version: $out"
}
check_version "$root/usr/bin/zr5130-eval"

echo "== the unpacked panel on the simulated board, closed by SIGTERM"
# The trace shows when the start-up is done: it ends with the readback of
# register 0x9E, which the start-up table set to 20 on the blank board.
trace=$work/trace.txt
QT_QPA_PLATFORM=offscreen ZR5130_ADAPTER=sim ZR5130_TRACE="$trace" \
  "$root/usr/bin/zr5130-eval" >"$work/panel.log" 2>&1 &
pid=$!
for tenth in $(seq 300); do
  [ "$(tail -n 1 "$trace" 2>/dev/null)" = "R 9E 20 ok" ] && break
  kill -0 "$pid" 2>/dev/null || break
  # A build that writes its trace only at exit: the signal waits until the
  # start-up is over, and the trace is checked after the exit.
  [ "$tenth" -ge 30 ] && [ ! -s "$trace" ] && break
  sleep 0.1
done
kill -TERM "$pid" 2>/dev/null || { cat "$work/panel.log"; fail "the panel ended before SIGTERM"; }
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the panel did not close within 10 s of SIGTERM"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || { cat "$work/panel.log"; fail "the panel's exit status was $status"; }
if [ "$(head -n 1 "$trace")" != "R 72 00 ok" ] || [ "$(tail -n 1 "$trace")" != "R 9E 20 ok" ]; then
  cat "$trace"
  fail "the trace does not hold the whole start-up"
fi
echo "panel: start-up of $(wc -l <"$trace") register accesses, exit status 0 after SIGTERM"

if $with_ctl; then
  echo "== the unpacked zr5130ctl"
  ctl=$root/usr/bin/zr5130ctl
  check_version "$ctl"
  # The examples in the documentation folder serve as simulated boards.
  e08=$root/usr/share/doc/zr5130-eval/examples/e08-programmed.txt
  out=$(timeout 20 "$ctl" --adapter "sim:$e08" read 72 A5) || fail "zr5130ctl read: exit status $?"
  [ "$out" = $'83\n24' ] || fail "zr5130ctl read 72 A5 on e08-programmed.txt printed '$out'"
  echo "zr5130ctl read 72 A5: $(tr '\n' ' ' <<<"$out")"
fi
echo "PASS: package ${deb##*/} checked and run"
