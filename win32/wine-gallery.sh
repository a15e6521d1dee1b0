#!/bin/sh
# Photographs the Windows build under Wine on a private Xvfb display for the README's gallery:
# win32/wine-gallery.sh [BUILD_DIR] [DISPLAY_NUMBER]. Needs Xvfb, xdotool and ImageMagick.
# No window manager runs, so the pictures show the menu bar and client area without a frame.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$(cd "${1:-$root/build-windows}" && pwd)/win32/vantrel.exe
out=$root/docs/gallery
display=:${2:-62}
Xvfb "$display" -screen 0 1024x768x24 -noreset >/dev/null 2>&1 & xvfb=$!
WINEPREFIX=$(mktemp -d)
export DISPLAY=$display WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; kill $xvfb; rm -rf "$WINEPREFIX"' EXIT
wineboot -i >/dev/null 2>&1
wine "$exe" & program=$!
window=
for _ in $(seq 60); do window=$(xdotool search --name '^Vantrel$' 2>/dev/null | head -1) && [ -n "$window" ] && break; sleep 0.5; done
sleep 2
eval "$(xdotool getwindowgeometry --shell "$window")"
menu=19  # the menu bar's height: client points are below it
key() { xdotool key --delay 150 "$@"; sleep 0.4; }
object() {  # Object menu by keyboard: F10, over to Object, down to the item $1 places below Box
    key F10; key Right Right Right; key Down
    n=$1; while [ "$n" -gt 0 ]; do key Down; n=$((n - 1)); done
    key Return; sleep 0.5
}
point() { xdotool mousemove --window "$window" "$1" $(($2 + menu)); sleep 0.2; }
click() { point "$1" "$2"; xdotool click 1; sleep 0.25; }
shot() { point 20 200; sleep 0.6; import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$out/$1"; }

object 9  # Geo-Sphere, turned 30 pixels right and up
point 150 100; xdotool mousedown 1; point 135 115; point 120 130; xdotool mouseup 1; sleep 0.4
key F1; shot wine-wireframe.png
key F6; shot wine-gradient.png
object 2; key F3  # Sphere, shaded
for colour in "10 0" "40 100" "70 50" "100 150" "130 200"; do
    set -- $colour
    click 312 $(($2 + 20))
    for face in "$((120 + $1 / 3)) 90" "$((130 + $1 / 4)) 110" "$((150 + $1 / 5)) 100" "165 $((70 + $1 / 4))"; do click $face; done
done
shot wine-painted-sphere.png
key alt+F4
wait $program
