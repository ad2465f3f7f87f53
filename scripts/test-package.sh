#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the installation from an already built tree: the menu entry, the metainfo and the manual
# pages are valid; the Debian package holds every file, the programs with their run bit; unpacked
# anywhere, its programs find their own tables and give the same files as the build tree.
# Usage: scripts/test-package.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build=$(realpath "${1:-build}")
id=io.github.xscatter.XScatter
title=散乱Ｘ線スペクトル計算

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[[ -n $version ]] || { echo "no configured build in $build" >&2; exit 1; }

# --- metadata -------------------------------------------------------------------------------
if desktop-file-validate "packaging/$id.desktop"; then pass "desktop entry valid"; else fail "desktop entry"; fi
if appstreamcli validate --no-net "$build/packaging/$id.metainfo.xml" >"$tmp/appstream.log" 2>&1; then
  pass "metainfo valid"
else
  cat "$tmp/appstream.log" >&2
  fail "metainfo"
fi
grep -q "<release version=\"$version\"" "$build/packaging/$id.metainfo.xml" ||
  fail "metainfo names no release $version"
for page in xscatter.1 xscatter-batch.1; do
  warnings=$(LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 "$build/packaging/$page" 2>&1)
  if [[ -z $warnings ]]; then pass "manual page $page"; else fail "manual page $page: $warnings"; fi
done

# --- the package ----------------------------------------------------------------------------
(cd "$build" && cpack -G DEB -B "$tmp/cpack" >"$tmp/cpack.log" 2>&1) || {
  cat "$tmp/cpack.log" >&2
  echo "FAILED: cpack" >&2
  exit 1
}
deb="$tmp/cpack/xscatter_${version}_$(dpkg --print-architecture).deb"
[[ -f $deb ]] || { echo "FAILED: no $deb" >&2; exit 1; }
pass "built $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == xscatter ]] || fail "package name $(field Package)"
[[ $(field Version) == "$version" ]] || fail "package version $(field Version)"
[[ $(field Section) == science ]] || fail "package section $(field Section)"
[[ -n $(field Maintainer) && -n $(field Description) ]] || fail "no maintainer or description"
for dependency in fonts-noto-cjk fonts-motoya-l-maruberi fonts-liberation2 qt6-translations-l10n \
  qt6-qpa-plugins libqt6widgets6 libqt6svg6 libqt6printsupport6; do
  field Depends | tr ',' '\n' | grep -q "^ *$dependency\b" || fail "package does not depend on $dependency"
done

# Mode and path of every file the package must hold.
dpkg-deb -c "$deb" | awk '{print $1, $6}' >"$tmp/listing"
expected=(
  "-rwxr-xr-x ./usr/bin/xscatter"
  "-rwxr-xr-x ./usr/bin/xscatter-batch"
  "-rwxr-xr-x ./usr/bin/xscatter-make-tables"
  "-rw-r--r-- ./usr/share/applications/$id.desktop"
  "-rw-r--r-- ./usr/share/metainfo/$id.metainfo.xml"
  "-rw-r--r-- ./usr/share/icons/hicolor/32x32/apps/$id.png"
  "-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/$id.svg"
  "-rw-r--r-- ./usr/share/man/man1/xscatter.1"
  "-rw-r--r-- ./usr/share/man/man1/xscatter-batch.1"
  "-rw-r--r-- ./usr/share/doc/xscatter/README.md"
  "-rw-r--r-- ./usr/share/doc/xscatter/LICENSE"
  "-rw-r--r-- ./usr/share/doc/xscatter/data/README.md"
)
for table in data/*.dat data/*.csv data/*.xfs; do
  expected+=("-rw-r--r-- ./usr/share/xscatter/Data/$(basename "$table")")
done
missing=0
for entry in "${expected[@]}"; do
  grep -qxF -- "$entry" "$tmp/listing" || { fail "package lacks $entry"; missing=1; }
done
[[ $missing -eq 0 ]] && pass "package holds all ${#expected[@]} files with their modes"

# --- the unpacked programs ------------------------------------------------------------------
root="$tmp/root"
dpkg -x "$deb" "$root"
bin="$root/usr/bin"
tables="$root/usr/share/xscatter/Data"

for table in data/*.dat data/*.csv data/*.xfs; do
  cmp -s "$table" "$tables/$(basename "$table")" || fail "installed $(basename "$table") differs"
done

# From an empty folder the unpacked tool reads its installed tables, and writes what the build
# tree's tool writes beside a copy of the shipped tables.
mkdir -p "$tmp/installed" "$tmp/reference/Data"
cp data/*.dat data/*.csv data/*.xfs "$tmp/reference/Data/"
(cd "$tmp/installed" && "$bin/xscatter-batch" --kv 100 --angle 90) || fail "unpacked xscatter-batch"
(cd "$tmp/reference" && "$build/tools/batch/xscatter-batch" --kv 100 --angle 90) ||
  fail "build tree's xscatter-batch"
for file in P_Spectrum.dat Inc_Spectrum.dat Coh_Spectrum.dat; do
  if [[ -s $tmp/installed/$file ]] && cmp -s "$tmp/installed/$file" "$tmp/reference/$file"; then
    pass "$file from the installed tables is identical"
  else
    fail "$file from the installed tables differs or is missing"
  fi
done
[[ ! -e $tmp/installed/Data ]] || fail "the tool created a Data folder"

shown=$(cd "$tmp/installed" && "$bin/xscatter-batch" --version)
[[ $shown == "xscatter-batch $version"$'\n'"tables: $tables" ]] || fail "--version said: $shown"

# A Data of the working folder that is broken gives its own error, never the installed tables.
mkdir -p "$tmp/broken/Data"
status=0
(cd "$tmp/broken" && "$bin/xscatter-batch" --kv 100 2>"$tmp/broken.err") || status=$?
if [[ $status -eq 1 ]] && grep -qF "$tmp/broken/Data" "$tmp/broken.err" && [[ ! -e $tmp/broken/P_Spectrum.dat ]]; then
  pass "a broken Data gives its error"
else
  fail "broken Data: status $status, $(cat "$tmp/broken.err")"
fi

# --version and --help need no display.
shown=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/xscatter" --version) &&
  [[ $shown == "xscatter $version" ]] || fail "xscatter --version without a display"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/xscatter" --help | grep -q -- --working-folder ||
  fail "xscatter --help without a display"

# The program shows its main screen working in a new folder, and from the menu's command line in
# the documents folder's xscatter; the timeout only guards against a hang.
start() {
  QT_QPA_PLATFORM=offscreen XSCATTER_QUIT_WHEN_SHOWN=1 XDG_RUNTIME_DIR="$tmp/runtime" \
    timeout 60 "$@" 2>"$tmp/gui.err"
}
mkdir -m 700 "$tmp/runtime"
output=$(start "$bin/xscatter" --working-folder "$tmp/new folder/deeper") || true
if [[ $output == "shown: $title" && -d "$tmp/new folder/deeper" ]]; then
  pass "xscatter shows its main screen in a new working folder"
else
  fail "xscatter --working-folder: '$output' $(cat "$tmp/gui.err")"
fi

exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/$id.desktop")
read -r -a command <<<"$exec_line"
[[ ${command[0]} == xscatter ]] || fail "menu entry runs ${command[0]}"
mkdir -p "$tmp/home"
output=$(HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" start "$bin/xscatter" "${command[@]:1}") || true
if [[ $output == "shown: $title" && -d "$tmp/home/Documents/xscatter" ]]; then
  pass "the menu's command works in Documents/xscatter"
else
  fail "menu command '$exec_line': '$output' $(cat "$tmp/gui.err")"
fi

# The Python module, where the build made one: in the package, depending on numpy, and importable
# from the unpacked tree, where it reads the unpacked tables.
module=$(find "$build/python" -maxdepth 1 -name 'xscatter*.so' 2>/dev/null | head -n 1)
if [[ -n $module ]]; then
  site="$root/usr/lib/python3/dist-packages"
  [[ -f $site/$(basename "$module") ]] || fail "package lacks the Python module"
  field Depends | tr ',' '\n' | grep -q "^ *python3-numpy\b" || fail "package does not depend on python3-numpy"
  figures=$(cd "$tmp/installed" && PYTHONPATH="$site" /usr/bin/python3 -c \
    "import xscatter; print(xscatter.primary(100).scatter(90).figures()['angle_deg'])") || true
  if [[ $figures == 90.0 ]]; then
    pass "the unpacked Python module computes with the unpacked tables"
  else
    fail "the unpacked Python module said: $figures"
  fi
fi

if [[ $failures -ne 0 ]]; then
  echo "$failures package check(s) failed" >&2
  exit 1
fi
echo "package checks passed"
