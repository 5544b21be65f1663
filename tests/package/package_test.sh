#!/usr/bin/env bash
# package_test.sh BUILD_DIR HAS_SHEETOUT: makes the Debian package of a built tree, unpacks it into a
# scratch root and runs the programs from there. Exit 77 (skipped) without dpkg-deb.
set -euo pipefail
build=$(cd "$1" && pwd)
command -v dpkg-deb >/dev/null || { echo "package_test: no dpkg-deb, skipped"; exit 77; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "package_test: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/pkg" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$scratch"/pkg/kvr_*.deb) || fail "no kvr_*.deb made"
root="$scratch/root"
dpkg-deb -x "$deb" "$root"

for f in usr/bin/KVR usr/bin/kvrtool usr/bin/kvr-sim usr/share/kvr/help/index-zh.html \
         usr/share/kvr/help/index-en.html usr/share/applications/kvr.desktop \
         usr/share/icons/hicolor/scalable/apps/kvr.svg usr/share/mime/packages/kvr.xml; do
  [ -e "$root/$f" ] || fail "$f is not in the package"
done
if [ "${2:-0}" = 1 ]; then
  [ -n "$(find "$root/usr" -name 'libSheetout.so*' -print -quit)" ] || fail "libSheetout is not in the package"
fi
grep -q '^MimeType=application/x-kvr-history;application/x-kvr-report;$' "$root/usr/share/applications/kvr.desktop" ||
  fail "the desktop entry does not claim the data files"
grep -q '^Exec=KVR %f$' "$root/usr/share/applications/kvr.desktop" || fail "the desktop entry does not pass the file"
for glob in '\*\.fdz' '\*\.arf'; do
  grep -q "pattern=\"$glob\"" "$root/usr/share/mime/packages/kvr.xml" || fail "no file type for $glob"
done
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6widgets6 qt6-qpa-plugins; do
  [[ $depends == *"$dep"* ]] || fail "Depends lacks $dep: $depends"
done

# The unpacked programs run on their own: a sample file from kvrtool, opened by KVR.
"$root/usr/bin/kvrtool" make-sample "$scratch/sample.FDZ" --records 120 >/dev/null
"$root/usr/bin/kvr-sim" --help >/dev/null
KVR_PROGRAM_FOLDER="$scratch/program" QT_QPA_PLATFORM=offscreen \
  "$root/usr/bin/KVR" --screenshot "$scratch/shot.png" "$scratch/sample.FDZ" 2>"$scratch/kvr.log" ||
  { cat "$scratch/kvr.log" >&2; fail "KVR --screenshot failed"; }
[ -s "$scratch/shot.png" ] || fail "no screenshot written"
echo "package_test: $(basename "$deb") installs and runs"
