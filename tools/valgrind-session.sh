#!/usr/bin/env bash
# Runs the scripted session tools/sessions/memcheck.txt (every Object and Edit command, every
# drawing mode and effect, drags, Shift light placement, hovering, painting, both strips,
# resizes) through vantrel-snapshot under valgrind's memcheck. Fails on any memory error, on a
# definite leak, or when the session itself does not run to its end.
#
#   tools/valgrind-session.sh [BUILD_DIR]    (default: build; vantrel-snapshot is built there)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target vantrel-snapshot
snapshot=$build/tools/vantrel-snapshot/vantrel-snapshot
session=$root/tools/sessions/memcheck.txt
suppressions=()
[ -f "$root/tools/valgrind.supp" ] && suppressions=(--suppressions="$root/tools/valgrind.supp")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"  # the session's save lines write here
start=$SECONDS
status=0
QT_QPA_PLATFORM=offscreen valgrind --quiet --leak-check=full --errors-for-leak-kinds=definite \
    --error-exitcode=1 --num-callers=40 "${suppressions[@]}" \
    "$snapshot" "$session" >session.out 2>session.err || status=$?
# Memcheck's own lines carry the process id; the program's are its error reports.
grep -v '^error: ' session.err >&2 || true
dumps=$(grep -c '^dump' "$session")
if [ "$status" -ne 0 ]; then
    echo "valgrind-session: failed (exit $status) after $((SECONDS - start)) s" >&2
    exit 1
fi
if [ "$(grep -c '^drawlist ' session.out)" -ne "$dumps" ]; then
    echo "valgrind-session: the session stopped early" >&2
    exit 1
fi
echo "valgrind-session: no memory errors, no definite leaks ($((SECONDS - start)) s)"
