#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that a desktop finds the program from
# its entry, and the entry's icon, in the usual places; that software centres find the
# AppStream metadata under the entry's id; that man finds the manual; and that nothing but the
# program and its data is installed.
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
id=org.vantrel.vantrel
entry=$prefix/share/applications/$id.desktop
[ -f "$entry" ] || fail "share/applications/$id.desktop missing"
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

metainfo=$prefix/share/metainfo/$id.metainfo.xml
[ -f "$metainfo" ] || fail "share/metainfo/$id.metainfo.xml missing"
grep -q "<id>$id</id>" "$metainfo" || fail "the metadata's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metadata does not launch $id.desktop"
grep -q "<binary>$program</binary>" "$metainfo" || fail "the metadata does not provide $program"
man=$prefix/share/man/man1/$program.1.gz
[ -f "$man" ] && zcat "$man" | grep -q '^\.TH VANTREL 1' || fail "no manual page $program(1)"
[ -f "$prefix/share/doc/$program/copyright" ] || fail "share/doc/$program/copyright missing"

# Tests, benchmarks and tools stay in the build tree.
extra=$(cd "$prefix" && find . -type f ! -path ./bin/vantrel ! -path './share/*')
[ -z "$extra" ] || fail "installed besides the program and its data: $extra"
echo "installed: bin/$program, share/applications/$id.desktop, icons '$icon', metadata, manual page"
