#!/usr/bin/env bash
# Starts the program on its own X server and accessibility bus and runs screen_reader_check.py
# against it. Exits 77 (skipped) where Xvfb, D-Bus, AT-SPI or its Python binding is missing.
# Usage: screen_reader_check.sh PROGRAM
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
for tool in Xvfb dbus-run-session /usr/libexec/at-spi-bus-launcher "$python"; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool not installed"; exit 77; }
done
"$python" -c 'import pyatspi' 2>/dev/null || { echo "skipped: python3-pyatspi not installed"; exit 77; }

[ -x "$program" ] || { echo "no program at $program"; exit 1; }

work=$(mktemp -d)
cleanup() {
    [ -n "${server:-}" ] && kill "$server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody uses, chosen by the server itself unless SCREEN_READER_DISPLAY names one.
# No reset: a server resetting as its last client leaves refuses the program connecting meanwhile.
exec {displayfd}<> <(:)
if [ -n "${SCREEN_READER_DISPLAY:-}" ]; then
    Xvfb ":$SCREEN_READER_DISPLAY" -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    number=$SCREEN_READER_DISPLAY
    sleep 1
else
    Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    read -r -t 10 -u "$displayfd" number || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
fi
server=$!
mkdir -m 700 "$work/runtime"

DISPLAY=:$number XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    dbus-run-session -- bash -c '
        /usr/libexec/at-spi-bus-launcher --launch-immediately & launcher=$!
        "$1" & program=$!
        status=0
        "$2" "$3" "$program" || status=$?
        kill "$program" "$launcher" 2>/dev/null
        wait "$program" 2>/dev/null
        exit $status' check "$program" "$python" "$here/screen_reader_check.py" 2> >(grep -v "Failed to set fd limit" >&2)
