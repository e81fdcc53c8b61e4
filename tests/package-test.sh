#!/usr/bin/env bash
# The Debian packages scripts/package left in packages/, checked as a Debian
# maintainer would before an upload: one version everywhere; the source
# package is the tree that was built; the programs packaged are the ones
# built and tested in the build folder; their fields, files, hardening and
# documents; no maintainer scripts; installed into a temporary root with
# dpkg, where both programs and the Python module run, then purged without a
# trace; lintian, when installed, with -I -E --pedantic and no tag left.
# Usage: package-test.sh SOURCE_DIR BUILD_DIR VERSION
# Exits 77 (skipped) without the tools of `scripts/deps package`.
# shellcheck disable=SC2015  # "A && B || fail" fails when either is false, as meant
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 SOURCE_DIR BUILD_DIR VERSION" >&2; exit 2; }
source=$1 build=$2 version=$3
for tool in git dpkg dpkg-deb dpkg-parsechangelog readelf desktop-file-validate appstreamcli groff; do
  command -v "$tool" >/dev/null || { echo "SKIP: no $tool (scripts/deps package installs it)"; exit 77; }
done
work=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# One version: the project's, which both programs print, is the upstream
# version of the Debian changelog and the one the manual pages carry.
# CHANGELOG.md has a section for each upstream version of the Debian
# changelog, in the same order, and the AppStream metadata a release for
# each, dated the day of its first Debian entry.
debian_version=$(dpkg-parsechangelog -l "$source/debian/changelog" -S Version)
upstream_version=${debian_version#*:} upstream_version=${upstream_version%-*}
[ "$upstream_version" = "$version" ] \
  || fail "debian/changelog is at $debian_version, project() in CMakeLists.txt at $version: make them agree"
# Each upstream version and the day of its oldest Debian entry, newest first.
debian_releases=$(dpkg-parsechangelog -l "$source/debian/changelog" --all --format rfc822 \
  | sed -n 's/^\(Version\|Date\): //p' | paste - - \
  | while read -r entry _ day month year _; do
      upstream=${entry#*:}
      echo "${upstream%-*} $(date -u -d "$day $month $year" +%F)"
    done \
  | tac | awk '!seen[$1]++' | tac)
changelog_versions=$(sed -n 's/^## \([^ ]*\).*/\1/p' "$source/CHANGELOG.md" | xargs)
[ "$changelog_versions" = "$(cut -d' ' -f1 <<<"$debian_releases" | xargs)" ] \
  || fail "CHANGELOG.md has versions '$changelog_versions', debian/changelog '$(cut -d' ' -f1 <<<"$debian_releases" | xargs)'"
metainfo=$source/dist/org.example.zr5130_eval.metainfo.xml
metainfo_releases=$(sed -n 's|^ *<release version="\([^"]*\)" date="\([^"]*\)"/>$|\1 \2|p' "$metainfo")
[ "$metainfo_releases" = "$debian_releases" ] && [ "$(grep -c '<release ' "$metainfo")" = "$(wc -l <<<"$debian_releases")" ] \
  || fail "${metainfo##*/} has the releases '$(xargs <<<"$metainfo_releases")', debian/changelog gives '$(xargs <<<"$debian_releases")'"
for page in "$source"/docs/man/*.1; do
  grep -q "^\.TH .*\"zr5130-eval $version\"" "$page" \
    || fail "${page##*/}: the .TH line does not name zr5130-eval $version"
done

arch=$(dpkg --print-architecture)
file_version=${debian_version#*:}
deb=$source/packages/zr5130-eval_${file_version}_$arch.deb
pydeb=$source/packages/python3-zr5130_${file_version}_$arch.deb
changes=$source/packages/zr5130-eval_${file_version}_$arch.changes
for package in "$deb" "$pydeb" "$changes"; do [ -f "$package" ] || fail "no $package: scripts/package builds it"; done

# The source package: the .changes names it whole, and its orig tarball,
# debian/ left out, holds the files of the tree that was built, as they are.
dsc=zr5130-eval_$file_version.dsc
orig=zr5130-eval_$upstream_version.orig.tar.xz
listed=$(sed -n '/^Files:/,/^[^ ]/s/^ [0-9a-f]\{32\} .* \([^ ]*\)$/\1/p' "$changes")
for file in "$dsc" "$orig" "zr5130-eval_$file_version.debian.tar.xz" "${deb##*/}" "${pydeb##*/}"; do
  grep -qxF "$file" <<<"$listed" || fail "${changes##*/} does not list $file"
  [ -f "$source/packages/$file" ] || fail "packages/ lacks $file, which ${changes##*/} lists"
done
grep -qx 'Format: 3.0 (quilt)' "$source/packages/$dsc" || fail "$dsc is not of format 3.0 (quilt)"
mkdir "$work/orig"
tar -xf "$source/packages/$orig" -C "$work/orig"
top=$work/orig/zr5130-eval-$upstream_version
[ "$(ls -A "$work/orig")" = "${top##*/}" ] || fail "$orig holds $(ls -A "$work/orig"), not the one folder ${top##*/}"
[ ! -e "$top/debian" ] || fail "$orig holds debian/"
tarball_files=$(cd "$top" && find . -type f | sed 's|^\./||' | sort)
tree_files=$(git -C "$source" ls-files --cached --others --exclude-standard | grep -v '^debian/' \
  | while read -r file; do [ ! -f "$source/$file" ] || echo "$file"; done | sort)
[ "$tarball_files" = "$tree_files" ] \
  || fail "$orig and the tree hold other files (run scripts/package again): $(diff <(echo "$tarball_files") <(echo "$tree_files") | grep '^[<>]' | xargs)"
while read -r file; do
  cmp -s "$top/$file" "$source/$file" || fail "$file differs between $orig and the tree: run scripts/package again"
done <<<"$tarball_files"
echo "$dsc: $orig holds the $(wc -l <<<"$tarball_files") files of the tree, without debian/"
# The package whose fields field and expect_field read.
checked=$deb
field() { dpkg-deb --field "$checked" "$1"; }
# Usage: expect_field NAME EXTENDED_REGEX
expect_field() {
  grep -Eq "$2" <<<"$(field "$1")" || fail "field $1 is '$(field "$1")', expected /$2/"
}
expect_field Package '^zr5130-eval$'
expect_field Version "^${debian_version//./\\.}$"
expect_field Section '^electronics$'
expect_field Priority '^optional$'
expect_field Maintainer '^[^<]+ <[^@>]+@[^>]+>$'
expect_field Recommends '(^|, )i2c-tools(,|$)'
expect_field Suggests '(^|, )qt6-qpa-plugins(,|$)'
expect_field Description '^evaluation panel .{10,}'
for library in libc6 'libstdc\+\+6' libqt6core6 libqt6gui6 libqt6widgets6; do
  expect_field Depends "(^|, )$library \(>= "
done
echo "${deb##*/}: Depends: $(field Depends)"

checked=$pydeb
expect_field Package '^python3-zr5130$'
expect_field Version "^${debian_version//./\\.}$"
expect_field Section '^python$'
expect_field Description '^Python module .{10,}'
# The module runs only on the Python version it was built for, which its
# file name tells (zr5130.cpython-311-...so: 3.11): the dependency admits
# that version and no other.
python_tag=$(dpkg-deb --contents "$pydeb" | sed -n 's|.*/zr5130\.cpython-\([0-9]\)\([0-9]*\)-.*\.so$|\1 \2|p')
[ "$(wc -w <<<"$python_tag")" = 2 ] || fail "python3-zr5130 holds no single zr5130.cpython-*.so module"
read -r python_major python_minor <<<"$python_tag"
for library in "python3 \\(>= $python_major\\.$python_minor~?\\)" "python3 \\(<< $python_major\\.$((python_minor + 1))\\)" \
               libc6 'libstdc\+\+6'; do
  expect_field Depends "(^|, )$library"
done
! grep -q libqt6 <<<"$(field Depends)" || fail "python3-zr5130 depends on Qt: $(field Depends)"
echo "${pydeb##*/}: Depends: $(field Depends)"

# Nothing runs and nothing takes effect by being installed: no maintainer
# scripts, no udev rule, nothing under /etc.
for package in "$deb" "$pydeb"; do
  control=$(dpkg-deb --ctrl-tarfile "$package" | tar -t | sed 's|^\./||' | grep -v '^$' | sort | xargs)
  [ "$control" = "control md5sums" ] \
    || fail "the control archive of ${package##*/} holds $control, expected control md5sums"
done

# Installed into a temporary root by dpkg itself, with an empty database.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
installer=(dpkg --root="$root" --log=/dev/null --force-not-root --force-bad-path --force-depends)
"${installer[@]}" --install "$deb" >"$work/log" 2>&1 || { cat "$work/log"; fail "dpkg --install failed"; }
installed=$(cd "$root" && find . -path ./var/lib/dpkg -prune -o -type f -print | sed 's|^\./||' | sort)
! grep -E '^(etc|lib|usr/lib)/' <<<"$installed" || fail "the package installs the files above"

doc=usr/share/doc/zr5130-eval
expected=(usr/bin/zr5130-eval usr/bin/zr5130ctl
          usr/share/applications/zr5130-eval.desktop
          usr/share/metainfo/org.example.zr5130_eval.metainfo.xml
          usr/share/man/man1/zr5130-eval.1.gz usr/share/man/man1/zr5130ctl.1.gz
          "$doc/copyright" "$doc/changelog.Debian.gz" "$doc/changelog.gz" "$doc/README.md"
          "$doc/docs/panel.png" "$doc/examples/60-zr5130-i2c.rules")
for icon in "$source"/res/art/icon-*.png; do
  size=${icon##*/icon-} size=${size%.png}
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/zr5130-eval.png")
done
for dump in "$source"/examples/*.txt; do expected+=("$doc/examples/${dump##*/}"); done
# Documents may be compressed: dh_compress leaves the small ones as they are.
for path in "${expected[@]}"; do
  grep -qxF -e "$path" -e "$path.gz" <<<"$installed" || fail "the package lacks $path"
done
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' "$root/$doc/copyright" \
  && grep -q '^License: MIT$' "$root/$doc/copyright" || fail "copyright is not DEP-5 with the MIT licence"

# The programs shipped are the ones built and tested in the build folder:
# stripping keeps the ELF build ID, which differs for any other build.
build_id() { readelf --notes "$1" | sed -n 's/^ *Build ID: //p'; }
for program in zr5130-eval zr5130ctl; do
  shipped=$(build_id "$root/usr/bin/$program") tested=$(build_id "$build/$program")
  [ -n "$shipped" ] && [ "$shipped" = "$tested" ] \
    || fail "usr/bin/$program (build ID '$shipped') is not $build/$program ('$tested'): run scripts/package again"
done

# Hardening from dpkg-buildflags: position-independent, read-only
# relocations bound at start-up, stack protector, fortified calls; stripped.
for program in zr5130-eval zr5130ctl; do
  binary=$root/usr/bin/$program
  grep -q 'Type: *DYN' <<<"$(readelf --file-header "$binary")" || fail "$program is not position-independent"
  grep -q GNU_RELRO <<<"$(readelf --program-headers "$binary")" || fail "$program has no read-only relocations"
  grep -Eq 'FLAGS.*\bNOW\b' <<<"$(readelf --dynamic "$binary")" || fail "$program is not linked with -z now"
  symbols=$(readelf --dyn-syms --wide "$binary")
  grep -q '__stack_chk_fail' <<<"$symbols" || fail "$program is built without the stack protector"
  grep -Eq '__[a-z]+_chk\b' <<<"$symbols" || fail "$program calls no fortified function"
  ! grep -q '\.debug_info' <<<"$(readelf --section-headers "$binary")" || fail "$program is not stripped"
done

desktop-file-validate "$root/usr/share/applications/zr5130-eval.desktop" || fail "desktop entry"
# The metadata, and the desktop entry it names found beside it.
appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.zr5130_eval.metainfo.xml" >"$work/log" 2>&1 \
  && appstreamcli validate-tree --no-net "$root" >>"$work/log" 2>&1 || { cat "$work/log"; fail "AppStream metadata"; }
for page in "$root"/usr/share/man/man1/*.gz; do
  warnings=$(zcat "$page" | groff -t -man -ww -z 2>&1) && [ -z "$warnings" ] \
    || fail "${page##*/}: $warnings"
done
# Every file the installed README links to is installed beside it.
links=$(zcat -f "$root/$doc"/README.md* | grep -oE '\]\([^)#:]+\)' | sed 's/^](//; s/)$//' | sort -u)
for link in $links; do [ -e "$root/$doc/$link" ] || fail "the installed README links to $link, not installed"; done

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
check_version "$root/usr/bin/zr5130ctl"

# The trace ends with the readback of register 0x9E (20 after the start-up
# table) once the start-up is done. A build that writes its trace only at
# exit leaves it empty: the signal then waits for the start-up to end.
trace=$work/trace.txt
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/config ZR5130_ADAPTER=sim ZR5130_TRACE="$trace" \
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

# The installed examples serve as simulated boards.
out=$(timeout 20 "$root/usr/bin/zr5130ctl" --adapter "sim:$root/$doc/examples/e08-programmed.txt" \
  read 72 A5) || fail "zr5130ctl read: exit status $?"
[ "$out" = $'83\n24' ] || fail "zr5130ctl read 72 A5 on e08-programmed.txt printed '$out'"

# The Python module alone, zr5130-eval purged first: where Debian's python3
# finds packaged modules, with its type stub, and the examples beside its
# documents. It is the module built and tested in the build folder, and,
# with nothing of the system's own (python3 -S), it reads an example dump
# and runs its own sweep example.
cp "$root/$doc/examples/e08-programmed.txt" "$work/"
"${installer[@]}" --purge zr5130-eval >"$work/log" 2>&1 || { cat "$work/log"; fail "dpkg --purge zr5130-eval failed"; }
[ ! -e "$root/usr/bin/zr5130ctl" ] || fail "zr5130ctl is left after zr5130-eval was purged"
"${installer[@]}" --install "$pydeb" >"$work/log" 2>&1 || { cat "$work/log"; fail "dpkg --install $pydeb failed"; }
site=$root/usr/lib/python3/dist-packages
modules=("$site"/zr5130.cpython-*.so)
[ ${#modules[@]} -eq 1 ] && [ -f "${modules[0]}" ] || fail "python3-zr5130 holds no single zr5130 module in $site"
pydoc=usr/share/doc/python3-zr5130
for path in usr/lib/python3/dist-packages/zr5130.pyi "$pydoc/copyright" "$pydoc/changelog.Debian.gz" "$pydoc/changelog.gz" \
            "$pydoc/examples/sweep.py" "$pydoc/examples/test_bench.py"; do
  [ -f "$root/$path" ] || fail "python3-zr5130 lacks $path"
done
built=("$build"/python/zr5130.cpython-*.so)
[ "$(build_id "${modules[0]}")" = "$(build_id "${built[0]}")" ] \
  || fail "${modules[0]#"$root"} is not ${built[0]}: run scripts/package again"
grep -q GNU_RELRO <<<"$(readelf --program-headers "${modules[0]}")" && \
  grep -Eq 'FLAGS.*\bNOW\b' <<<"$(readelf --dynamic "${modules[0]}")" \
  || fail "the Python module lacks read-only relocations bound at load"
python=(env PYTHONPATH="$site" XDG_CONFIG_HOME="$work/config" timeout 20 python3 -S)
out=$("${python[@]}" -c 'import sys, zr5130
with zr5130.open("sim:" + sys.argv[1]) as chip: print("%02X %d" % (chip.read(0x72), chip.get("programmed").number))' \
  "$work/e08-programmed.txt" 2>&1) || fail "the installed module: $out"
[ "$out" = "83 3" ] || fail "the installed module read '$out' from e08-programmed.txt, expected '83 3'"
out=$("${python[@]}" "$root/$pydoc/examples/sweep.py" 2>&1) && grep -q ' FFFh ' <<<"$out" \
  || fail "the installed sweep example did not reach FFFh: $out"
echo "python3-zr5130, installed alone: the module reads an example dump and runs its sweep"

# Purged, they leave nothing behind.
"${installer[@]}" --purge python3-zr5130 >"$work/log" 2>&1 || { cat "$work/log"; fail "dpkg --purge failed"; }
left=$(cd "$root" && find . -path ./var/lib/dpkg -prune -o ! -type d -print)
[ -z "$left" ] || fail "left after purge: $left"

# Every lintian override says why, on the comment line above it.
for overrides in "$source"/debian/*.lintian-overrides "$source"/debian/source/lintian-overrides; do
  [ -e "$overrides" ] || continue
  awk '!/^#/ && NF && prev !~ /^#/ { print FILENAME ":" FNR ": override without a reason above it"; bad = 1 }
       { prev = $0 } END { exit bad }' "$overrides" || fail "lintian overrides without reasons"
done
# The source package and both binary packages (the debug symbol packages,
# which debhelper makes whole, would add half again to lintian's time).
if command -v lintian >/dev/null; then
  lintian -I -E --pedantic --display-experimental --fail-on error,warning,info,pedantic,experimental \
    "$source/packages/$dsc" "$deb" "$pydeb" >"$work/log" 2>&1 && ! grep -q '^[EWIPX]: ' "$work/log" \
    || { cat "$work/log"; fail "lintian"; }
  echo "lintian -I -E --pedantic --display-experimental on $dsc, ${deb##*/} and ${pydeb##*/}: no tags"
else
  echo "lintian not installed (scripts/deps package installs it): not run"
fi
echo "PASS: $dsc, ${deb##*/} and ${pydeb##*/} checked; the packages installed, run and purged"
