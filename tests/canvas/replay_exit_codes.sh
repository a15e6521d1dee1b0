#!/bin/sh
# canvas-replay exits 0 on success, 2 with a message naming the line on a malformed script, 1 with
# a message when memory runs out; what it echoes of the script never reaches the terminal raw.
# Usage: replay_exit_codes.sh PROGRAM [EMULATOR]: a cross-built program runs through its emulator.
set -u
replay="$1"
emulator="${2:-}"
run() {
    if [ -n "$emulator" ]; then "$emulator" "$replay" "$@"; else "$replay" "$@"; fi
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'size 3 2\npixel 1 1 0x00FFFFFF\n' > "$work/good.txt"
run "$work/good.txt" "$work/good.ppm" || { echo "good script failed"; exit 1; }
[ "$(head -c 11 "$work/good.ppm")" = "$(printf 'P6\n3 2\n255\n')" ] || { echo "bad header"; exit 1; }
[ "$(wc -c < "$work/good.ppm")" -eq 29 ] || { echo "bad size"; exit 1; }
printf 'size 3 2\n\npixel 1 1 0x00FFFFFF 7\n' > "$work/bad.txt"
run "$work/bad.txt" "$work/bad.ppm" 2> "$work/err.txt"
[ $? -eq 2 ] || { echo "malformed script did not exit 2"; exit 1; }
grep -q ':3:' "$work/err.txt" || { echo "message does not name line 3"; cat "$work/err.txt"; exit 1; }
[ ! -e "$work/bad.ppm" ] || { echo "output written for a malformed script"; exit 1; }
printf 'size 16385 16385\n' > "$work/huge.txt"
run "$work/huge.txt" "$work/huge.ppm" 2> /dev/null
[ $? -eq 2 ] || { echo "oversized surface did not exit 2"; exit 1; }
run "$work/missing.txt" "$work/x.ppm" 2> /dev/null
[ $? -eq 1 ] || { echo "missing file did not exit 1"; exit 1; }
printf 'size 2 2\n\033[2J\033]0;owned\a%0300d\n' 0 > "$work/hostile.txt"
run "$work/hostile.txt" "$work/x.ppm" 2> "$work/err.txt"
[ $? -eq 2 ] && grep -q ":2: unknown operation '\\\\x1B\[2J" "$work/err.txt" || { echo "escape not shown as text"; cat "$work/err.txt"; exit 1; }
[ -z "$emulator" ] || sed -i 's/\r$//' "$work/err.txt"  # Windows ends the lines it writes with CR LF
[ "$(tr -d '\n -~' < "$work/err.txt" | wc -c)" -eq 0 ] && [ "$(wc -c < "$work/err.txt")" -lt 200 ] || { echo "raw or endless echo"; exit 1; }

# A million points are fine, one more is a malformed line; points off the surface draw nothing.
polygon() { awk -v n="$1" 'BEGIN { printf "size 4 4\nbrush 1 0x0\npen 5 0x0\npolygon %d", n; for (i = 0; i < n; i++) printf " 1 -1"; print "" }'; }
polygon 1000000 > "$work/million.txt"
run "$work/million.txt" "$work/x.ppm" || { echo "a million points refused"; exit 1; }
polygon 1000001 > "$work/more.txt"
run "$work/more.txt" "$work/x.ppm" 2> "$work/err.txt"
[ $? -eq 2 ] && grep -q ':4: a polygon may have at most 1000000 points' "$work/err.txt" || { echo "point limit"; cat "$work/err.txt"; exit 1; }

# Short of memory: the least address space a tiny script runs in, then a little more than that
# for the million points (which need 8 MB) and for the largest surface (1 GiB).
grep -q __asan_init "$replay" && exit 0  # the sanitizers reserve terabytes of address space
[ -z "$emulator" ] || exit 0  # the limit would bind the emulator, not the program
base=2048
while [ $base -le 131072 ] && ! (ulimit -v $base && "$replay" "$work/good.txt" "$work/x.ppm" 2> /dev/null); do
    base=$((base + 2048))
done
printf 'size 16384 16384\n' > "$work/largest.txt"
for script in million largest; do
    (ulimit -v $((base + 4096)) && exec "$replay" "$work/$script.txt" "$work/x.ppm") 2> "$work/err.txt"
    [ $? -eq 1 ] && grep -q 'out of memory' "$work/err.txt" || { echo "$script: no exit 1 short of memory"; cat "$work/err.txt"; exit 1; }
done
exit 0
