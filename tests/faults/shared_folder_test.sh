#!/usr/bin/env bash
# Two runs write into one folder at once, one through a bindfs view of it and one straight,
# round after round:
#   shared_folder_test.sh HY3CONV
# Both must succeed with the right bytes; a live run's temporary file (dated an hour back) and
# a user's files named like temporary files must survive every run; a killed run's file must
# go. Exits 77 (skipped) where this machine cannot mount bindfs.
set -u
export LC_ALL=C.UTF-8

hy3conv=$(realpath "${1:?usage: shared_folder_test.sh HY3CONV}")
skip() {
    echo "SKIPPED: $*"
    exit 77
}
[ "$(id -u)" -eq 0 ] || skip "mounting bindfs needs root"
[ -c /dev/fuse ] || skip "this machine has no /dev/fuse"
command -v bindfs >/dev/null || skip "bindfs is not installed (the bindfs package)"

work=$(mktemp -d /tmp/shared-folder.XXXXXX)
holders=()
finish() {
    kill "${holders[@]}" 2>/dev/null
    exec 9<&-
    fusermount -u "$work/view" 2>/dev/null || umount "$work/view" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
mkdir "$work/out" "$work/view" "$work/in" "$work/ref"
bindfs --no-allow-other "$work/out" "$work/view" 2>/dev/null ||
    bindfs "$work/out" "$work/view" || skip "bindfs cannot mount here"

# Long enough to read that the two runs overlap.
row=$(head -c 60000 /dev/zero | tr '\0' ' ')
for _ in $(seq 301); do printf '%sa,1,150\r\n' "$row"; done >"$work/in/large.txt"
"$hy3conv" --quiet "$work/in/large.txt" "$work/ref/large.hy3" || exit 1

boot=$(tr -d - </proc/sys/kernel/random/boot_id | cut -c1-12)
sleep 600 >/dev/null 2>&1 &
live=$!
holders+=("$live")
started=$(sed 's/.*) //' "/proc/$live/stat" | cut -d' ' -f20)
live_file=".hy3-$boot-$live-$started-Abcdef"
user_files=(".hy3-abcdefghij" ".hy3-notes.txt" ".hy3-$boot-x-1-Abcdef")
for name in "$live_file" "${user_files[@]}"; do
    echo kept >"$work/out/$name"
    touch -d '1 hour ago' "$work/out/$name"
done
# This shell holds the live file's lock, as its writer would.
exec 9<"$work/out/$live_file"
flock -x 9
killed=".hy3-$boot-99999999-1-Abcdef"
echo left >"$work/out/$killed"

failures=0
for round in 1 2 3 4 5 6; do
    "$hy3conv" --quiet "$work/in/large.txt" "$work/view/b.hy3" 2>"$work/b.err" &
    through_view=$!
    "$hy3conv" --quiet "$work/in/large.txt" "$work/out/a.hy3" 2>"$work/a.err"
    straight=$?
    wait "$through_view"
    viewed=$?
    for run in a b; do
        cmp -s "$work/ref/large.hy3" "$work/out/$run.hy3" || {
            echo "FAILED: round $round, $run.hy3 is wrong"
            failures=$((failures + 1))
        }
    done
    if [ "$straight" -ne 0 ] || [ "$viewed" -ne 0 ]; then
        echo "FAILED: round $round: exit $straight straight, $viewed through bindfs:"
        cat "$work/a.err" "$work/b.err"
        failures=$((failures + 1))
    fi
done
for name in "$live_file" "${user_files[@]}"; do
    [ -f "$work/out/$name" ] || {
        echo "FAILED: $name was removed"
        failures=$((failures + 1))
    }
done
[ ! -e "$work/out/$killed" ] || {
    echo "FAILED: the killed run's $killed is still there"
    failures=$((failures + 1))
}
[ "$failures" -eq 0 ] && echo "PASSED: 6 rounds through bindfs and straight"
[ "$failures" -eq 0 ]
