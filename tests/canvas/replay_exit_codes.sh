#!/bin/sh
# canvas-replay exits 0 on success, 2 with a message naming the line on a malformed script.
set -u
replay="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'size 3 2\npixel 1 1 0x00FFFFFF\n' > "$work/good.txt"
"$replay" "$work/good.txt" "$work/good.ppm" || { echo "good script failed"; exit 1; }
[ "$(head -c 11 "$work/good.ppm")" = "$(printf 'P6\n3 2\n255\n')" ] || { echo "bad header"; exit 1; }
[ "$(wc -c < "$work/good.ppm")" -eq 29 ] || { echo "bad size"; exit 1; }
printf 'size 3 2\n\npixel 1 1 0x00FFFFFF 7\n' > "$work/bad.txt"
"$replay" "$work/bad.txt" "$work/bad.ppm" 2> "$work/err.txt"
[ $? -eq 2 ] || { echo "malformed script did not exit 2"; exit 1; }
grep -q ':3:' "$work/err.txt" || { echo "message does not name line 3"; cat "$work/err.txt"; exit 1; }
[ ! -e "$work/bad.ppm" ] || { echo "output written for a malformed script"; exit 1; }
printf 'size 16385 16385\n' > "$work/huge.txt"
"$replay" "$work/huge.txt" "$work/huge.ppm" 2> /dev/null
[ $? -eq 2 ] || { echo "oversized surface did not exit 2"; exit 1; }
"$replay" "$work/missing.txt" "$work/x.ppm" 2> /dev/null
[ $? -eq 1 ] || { echo "missing file did not exit 1"; exit 1; }
exit 0
