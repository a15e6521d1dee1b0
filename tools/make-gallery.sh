#!/usr/bin/env bash
# Regenerates the README's screenshots, docs/gallery/*.png, by running the scripted session
# tools/sessions/gallery.txt through vantrel-snapshot from a Release build (fixed seeds: the
# same build gives the same pictures).
#
#   tools/make-gallery.sh [BUILD_DIR]    (default: build; configured as Release when new)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
if ! grep -qx 'CMAKE_BUILD_TYPE:STRING=Release' "$build/CMakeCache.txt"; then
    echo "make-gallery: $build is not a Release build" >&2
    exit 1
fi
cmake --build "$build" --target vantrel-snapshot
session=$root/tools/sessions/gallery.txt
gallery=$root/docs/gallery
mkdir -p "$gallery"
rm -f "$gallery"/*.png
cd "$gallery"  # the session's save lines write here
QT_QPA_PLATFORM=offscreen "$build/tools/vantrel-snapshot/vantrel-snapshot" "$session" >/dev/null
for image in $(sed -n 's/^save //p' "$session"); do
    [ -s "$image" ] || { echo "make-gallery: $image was not written" >&2; exit 1; }
done
echo "make-gallery: $(ls "$gallery"/*.png | wc -l) pictures in docs/gallery/"
