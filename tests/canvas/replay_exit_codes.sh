#!/bin/sh
# canvas-replay exits 0 on success, 2 with a message naming the line on a malformed script, 1 with
# a message when memory runs out; what it echoes of the script never reaches the terminal raw.
#   replay_exit_codes.sh CANVAS_REPLAY [EMULATOR]   (EMULATOR: the command that runs a cross-built tool)
set -u
binary="$1"
emulator="${2:-}"
replay() { $emulator "$binary" "$@"; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'size 3 2\npixel 1 1 0x00FFFFFF\n' > "$work/good.txt"
replay "$work/good.txt" "$work/good.ppm" || { echo "good script failed"; exit 1; }
[ "$(head -c 11 "$work/good.ppm")" = "$(printf 'P6\n3 2\n255\n')" ] || { echo "bad header"; exit 1; }
[ "$(wc -c < "$work/good.ppm")" -eq 29 ] || { echo "bad size"; exit 1; }
printf 'size 3 2\n\npixel 1 1 0x00FFFFFF 7\n' > "$work/bad.txt"
replay "$work/bad.txt" "$work/bad.ppm" 2> "$work/err.txt"
[ $? -eq 2 ] || { echo "malformed script did not exit 2"; exit 1; }
grep -q ':3:' "$work/err.txt" || { echo "message does not name line 3"; cat "$work/err.txt"; exit 1; }
[ ! -e "$work/bad.ppm" ] || { echo "output written for a malformed script"; exit 1; }
printf 'size 16385 16385\n' > "$work/huge.txt"
replay "$work/huge.txt" "$work/huge.ppm" 2> /dev/null
[ $? -eq 2 ] || { echo "oversized surface did not exit 2"; exit 1; }
replay "$work/missing.txt" "$work/x.ppm" 2> /dev/null
[ $? -eq 1 ] || { echo "missing file did not exit 1"; exit 1; }
printf 'size 2 2\n\033[2J\033]0;owned\a%0300d\n' 0 > "$work/hostile.txt"
replay "$work/hostile.txt" "$work/x.ppm" 2> "$work/err.txt"
[ $? -eq 2 ] && grep -q ":2: unknown operation '\\\\x1B\[2J" "$work/err.txt" || { echo "escape not shown as text"; cat "$work/err.txt"; exit 1; }
[ -z "$emulator" ] || sed -i 's/\r$//' "$work/err.txt"  # Windows ends the lines it writes with CR LF
[ "$(tr -d '\n -~' < "$work/err.txt" | wc -c)" -eq 0 ] && [ "$(wc -c < "$work/err.txt")" -lt 200 ] || { echo "raw or endless echo"; exit 1; }

# A million points are fine, one more is a malformed line; points off the surface draw nothing.
polygon() { awk -v n="$1" 'BEGIN { printf "size 4 4\nbrush 1 0x0\npen 5 0x0\npolygon %d", n; for (i = 0; i < n; i++) printf " 1 -1"; print "" }'; }
polygon 1000000 > "$work/million.txt"
replay "$work/million.txt" "$work/x.ppm" || { echo "a million points refused"; exit 1; }
polygon 1000001 > "$work/more.txt"
replay "$work/more.txt" "$work/x.ppm" 2> "$work/err.txt"
[ $? -eq 2 ] && grep -q ':4: a polygon may have at most 1000000 points' "$work/err.txt" || { echo "point limit"; cat "$work/err.txt"; exit 1; }

# Short of memory: the least address space a tiny script runs in, then a little more than that
# for the million points (which need 8 MB) and for the largest surface (1 GiB). Natively that is
# ulimit -v; qemu-user's own memory would count against it, so under qemu the guest's address
# space is reserved with -R instead; the guest's first mappings fill the room below the program
# there, so only the largest surface is sure to be short of memory.
grep -q __asan_init "$binary" && exit 0  # the sanitizers reserve terabytes of address space
short_of_memory="million largest"
case "$emulator" in
    '') limited() { (ulimit -v "$1" && exec "$binary" "$work/$2.txt" "$work/x.ppm"); } ;;
    *qemu-*) limited() { $emulator -R "$1"K "$binary" "$work/$2.txt" "$work/x.ppm"; }
             short_of_memory=largest ;;
    *) echo "short of memory: not checked under $emulator"; exit 0 ;;
esac
fits=131072
limited $fits good 2> /dev/null || { echo "a tiny script does not run in $fits KiB"; exit 1; }
short=0
while [ $((fits - short)) -gt 2048 ]; do
    middle=$(((fits + short) / 2))
    if limited $middle good 2> /dev/null; then fits=$middle; else short=$middle; fi
done
printf 'size 16384 16384\n' > "$work/largest.txt"
for script in $short_of_memory; do
    limited $((fits + 4096)) $script 2> "$work/err.txt"
    [ $? -eq 1 ] && grep -q 'out of memory' "$work/err.txt" || { echo "$script: no exit 1 short of memory"; cat "$work/err.txt"; exit 1; }
done
exit 0
