#!/usr/bin/env bash
# Times hy3conv on a workbook against the same table as CSV text, and on a zip bomb. Goals:
# a 301-row by 152-column .xlsx converts in at most twice the CPU time of the same table as
# CSV (whole process), with peak memory at most twice that of converting the template; a
# zip bomb (1 GiB of cells packed to about 1 MiB) is refused in under 1 s with peak memory
# under 16 MiB.
#
# Usage: bench/workbook.sh [path/to/hy3conv] [path/to/make_zip_bomb]
set -euo pipefail
source "$(dirname "$0")/common.sh"

hy3conv=${1:-build/src/programs/hy3conv}
make_zip_bomb=${2:-build/bench/make_zip_bomb}
[ -x "$hy3conv" ] || { echo "hy3conv が見つかりません: $hy3conv" >&2; exit 2; }
[ -x "$make_zip_bomb" ] || { echo "make_zip_bomb が見つかりません: $make_zip_bomb" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time が要ります (apt-get install time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The widest table the display unit reads: 301 rows of a place name, a zone and 150 fares.
full_rows_table 301 >"$work/table.csv"
# The same table as a workbook, written back from its data file.
"$hy3conv" --quiet "$work/table.csv" "$work/table.hy3"
"$hy3conv" --quiet --to-sheet "$work/table.hy3" "$work/table.xlsx"
"$hy3conv" --quiet "$work/table.xlsx" "$work/from-sheet.hy3"
cmp -s "$work/table.hy3" "$work/from-sheet.hy3" ||
    { echo "ブックからの変換結果が CSV からの変換結果と違います" >&2; exit 1; }
"$hy3conv" --template "$work/template.txt"
"$make_zip_bomb" "$work/bomb.xlsx"

# Peak resident memory in KB and elapsed seconds of one run (whose failure may be expected).
peak_kb() { { /usr/bin/time -f %M "$@" 2>&1 >/dev/null || true; } | tail -n 1; }
elapsed_s() { { /usr/bin/time -f %e "$@" 2>&1 >/dev/null || true; } | tail -n 1; }

runs=40
echo "== CPU 時間 (user + sys、1 回あたり、${runs} 回の平均): 301 行 × 152 列"
xlsxCpu=$(cpu_ms_per_run "$runs" "$hy3conv" "$work/table.xlsx" "$work/out.hy3")
csvCpu=$(cpu_ms_per_run "$runs" "$hy3conv" "$work/table.csv" "$work/out.hy3")
awk -v x="$xlsxCpu" -v c="$csvCpu" 'BEGIN {
    printf ".xlsx %.2f ms、CSV %.2f ms、比 %.2f (目標 2 以下: %s)\n",
        x, c, x / c, (x / c <= 2 ? "達成" : "未達")
}'

echo "== 最大メモリ (/usr/bin/time -f %M)"
xlsxKb=$(peak_kb "$hy3conv" "$work/table.xlsx" "$work/out.hy3")
templateKb=$(peak_kb "$hy3conv" "$work/template.txt" "$work/out.hy3")
awk -v x="$xlsxKb" -v t="$templateKb" 'BEGIN {
    printf ".xlsx %d KB、テンプレート %d KB、比 %.2f (目標 2 以下: %s)\n",
        x, t, x / t, (x / t <= 2 ? "達成" : "未達")
}'

echo "== zip 爆弾 ($(stat -c %s "$work/bomb.xlsx") バイト、展開すると 1 GiB)"
if "$hy3conv" "$work/bomb.xlsx" "$work/out.hy3" >/dev/null 2>"$work/bomb.err"; then
    echo "zip 爆弾を拒みませんでした" >&2
    exit 1
fi
bombKb=$(peak_kb "$hy3conv" "$work/bomb.xlsx" "$work/out.hy3")
bombS=$(elapsed_s "$hy3conv" "$work/bomb.xlsx" "$work/out.hy3")
awk -v s="$bombS" -v k="$bombKb" 'BEGIN {
    printf "拒否まで %.2f 秒 (目標 1 秒未満: %s)、最大メモリ %d KB (目標 16384 KB 未満: %s)\n",
        s, (s < 1 ? "達成" : "未達"), k, (k < 16384 ? "達成" : "未達")
}'
sed -n 1p "$work/bomb.err"
