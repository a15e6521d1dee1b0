#!/bin/sh
# The NSIS installer under Wine: a silent install puts vantrel.exe under Program Files, and
# the uninstaller, also silent, removes it again. Usage: installer_test.sh <build dir> <wine>
set -eu
build=$1
wine=$2
work=$(mktemp -d)
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cd "$build"
cpack -G NSIS -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
installer=$(ls "$work"/out/vantrel-*-win64-setup.exe)
"$wine" wineboot -i >/dev/null 2>&1
"$wine" "$installer" /S
wineserver -w
target="$WINEPREFIX/drive_c/Program Files/Vantrel"
test -f "$target/vantrel.exe" || { echo "no vantrel.exe under Program Files"; ls -R "$WINEPREFIX/drive_c" | head -50; exit 1; }
test -f "$target/Uninstall.exe"
ls "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vantrel/"*.lnk >/dev/null 2>&1 ||
  ls "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Vantrel/*.lnk >/dev/null
# The uninstaller copies itself elsewhere and runs from there: wait for every Wine process.
"$wine" "$target/Uninstall.exe" /S
wineserver -w
test ! -e "$target/vantrel.exe" || { echo "the uninstaller left vantrel.exe behind"; exit 1; }
echo "installed and uninstalled"
