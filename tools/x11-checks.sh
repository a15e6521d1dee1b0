#!/usr/bin/env bash
# tools/x11-checks.sh [BUILD_DIR]: what only a real X server shows. Installs Xvfb and xdotool when
# missing, runs the start-up notice test against Xvfb, then starts the program twice on one display
# (under two of its names) with the first copy stopped, and fails unless exactly one window exists.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
missing=()
for package in xvfb xdotool; do dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package"); done
if [ ${#missing[@]} -gt 0 ]; then
    as_root=()
    [ "$(id -u)" -ne 0 ] && as_root=(sudo)
    "${as_root[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
QT_QPA_PLATFORM=offscreen "$build/tests/process/test_process" --gtest_filter='*StartupNotice*'

work=$(mktemp -d)
exec 3>"$work/display"
Xvfb -displayfd 3 -nolisten tcp -noreset >/dev/null 2>&1 &
server=$!
first=
cleanup() {
    [ -n "$first" ] && kill -CONT "$first" 2>/dev/null && kill "$first" 2>/dev/null
    kill "$server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
number=$(head -n1 "$work/display")
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
windows() { DISPLAY=":$number" xdotool search --onlyvisible --name '^Vantrel' 2>/dev/null | wc -l; }
DISPLAY=":$number" "$build/qt/vantrel" &
first=$!
for _ in $(seq 100); do [ "$(windows)" -ge 1 ] && break; sleep 0.1; done
kill -STOP "$first"
DISPLAY="unix:$number" "$build/qt/vantrel" & later1=$!
DISPLAY=":$number.0" "$build/qt/vantrel" & later2=$!
wait "$later1"; wait "$later2"  # set -e: each must end with 0
kill -CONT "$first"
sleep 1
count=$(windows)
[ "$count" -eq 1 ] || { echo "x11-checks: $count windows after two more copies, expected 1"; exit 1; }
kill -TERM "$first"
wait "$first"  # 0: ended as closing the window does
first=
left=$(ls -A "$work/runtime" | grep '^vantrel-' || true)
[ -z "$left" ] || { echo "x11-checks: left behind: $left"; exit 1; }
echo "x11-checks: passed"
