#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that a desktop finds the program from
# its entry, and the entry's icon, in the usual places.
#   install_test.sh CMAKE BUILD_DIR
set -euo pipefail
cmake=$1
build=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() {
    echo "install: $*" >&2
    exit 1
}
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

[ -x "$prefix/bin/vantrel" ] || fail "bin/vantrel missing or not executable"
entry=$prefix/share/applications/vantrel.desktop
[ -f "$entry" ] || fail "share/applications/vantrel.desktop missing"
grep -qx '\[Desktop Entry\]' "$entry" || fail "the entry has no [Desktop Entry] group"
grep -qx 'Type=Application' "$entry" || fail "the entry is not an application"
program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -n "$program" ] && [ -x "$prefix/bin/$program" ] || fail "the entry starts '$program', which is not in bin/"
[ -n "$icon" ] || fail "the entry names no icon"
svg=$prefix/share/icons/hicolor/scalable/apps/$icon.svg
png=$prefix/share/icons/hicolor/256x256/apps/$icon.png
[ -f "$svg" ] && grep -q '<svg' "$svg" || fail "no scalable icon '$icon' in share/icons/hicolor/scalable/apps/"
[ -f "$png" ] && [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "no 256 x 256 icon '$icon' in share/icons/hicolor/256x256/apps/"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "the entry does not validate"
fi
echo "installed: bin/$program, share/applications/vantrel.desktop, icons '$icon'"
