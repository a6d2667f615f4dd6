#!/usr/bin/env bash
# Times hy3conv --all-sheets on workbooks of 1,000 and 8,000 small sheets (each a two-row
# fare table) and shows the CPU time per sheet: it stays the same however many sheets the book
# holds (the book is read once, each sheet found at once). Also the peak memory.
#
# Usage: bench/all_sheets.sh [path/to/hy3conv] [sheets...]
set -euo pipefail

hy3conv=${1:-build/src/programs/hy3conv}
shift || true
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(1000 8000)
[ -x "$hy3conv" ] || { echo "hy3conv が見つかりません: $hy3conv" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time が要ります (apt-get install time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for sheets in "${counts[@]}"; do
    python3 "$(dirname "$0")/make_workbook.py" "$sheets" "$work/book.xlsx"
    rm -rf "$work/out"
    mkdir "$work/out"
    figures=$( { /usr/bin/time -f '%e %U %S %M' "$hy3conv" --quiet -o "$work/out" --all-sheets \
        "$work/book.xlsx" 2>&1 >/dev/null; } | tail -n 1)
    written=$(find "$work/out" -name '*.hy3' | wc -l)
    [ "$written" -eq "$sheets" ] || { echo "$sheets 枚のうち $written 枚しか書き出していません" >&2; exit 1; }
    awk -v n="$sheets" -v f="$figures" 'BEGIN {
        split(f, a, " ")
        printf "%6d 枚: 経過 %.2f 秒、CPU %.2f 秒 (user %.2f、sys %.2f)、1 枚あたり CPU %.2f ms、最大メモリ %d KB\n",
            n, a[1], a[2] + a[3], a[2], a[3], (a[2] + a[3]) * 1000 / n, a[4]
    }'
done
