#!/usr/bin/env bash
# A batch of many inputs into one output folder that already holds many files: the time per
# input must not grow with the size of the batch (the folder is read once per batch, not once
# per output). Prints, for each batch size, the wall seconds (mostly waiting for the disk to
# confirm each file) and the processor time, with both per input: the processor time per input
# is what must stay flat.
#
# Usage: bench/batch.sh [path/to/hy3conv] [sizes...]   (default sizes: 1000 10000)
set -euo pipefail

hy3conv=$(realpath "${1:-build/src/programs/hy3conv}")
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000)
[ -x "$hy3conv" ] || { echo "hy3conv が見つかりません: $hy3conv" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '停留所,1,150,160\r\n地名２,2,170\r\n' | iconv -f UTF-8 -t CP932 >"$work/table.txt"

printf '%8s %10s %12s %10s %12s\n' inputs wall-s wall-ms/input cpu-s cpu-ms/input
for size in "${sizes[@]}"; do
    rm -rf "$work/in" "$work/out"
    mkdir "$work/in" "$work/out"
    # The inputs, and eight files already in the output folder for every input.
    (cd "$work/in" && for ((i = 0; i < size; i++)); do ln "$work/table.txt" "t$i.txt"; done)
    (cd "$work/out" && for ((i = 0; i < 8 * size; i++)); do : >"old$i.hy3"; done)
    cpu=$(cd "$work/in" && /usr/bin/time -f '%e %U %S' "$hy3conv" --quiet -o "$work/out" ./*.txt 2>&1 |
        tail -n 1)
    awk -v n="$size" -v t="$cpu" 'BEGIN {
        split(t, a, " ")
        printf "%8d %10.2f %12.3f %10.2f %12.3f\n", n, a[1], a[1] * 1000 / n, a[2] + a[3],
            (a[2] + a[3]) * 1000 / n
    }'
done
