#!/usr/bin/env bash
# Time from `rukanoba3 FILE.hy3` to the first paint of its table window, for a table of 301
# rows of 150 fares each, against the main window's own start (`rukanoba3` alone), in the same
# run on the same display. Goal: the table window takes at most 1.2 times the main window.
#
# Usage: bench/window_start.sh [build folder] [repetitions]
# Needs a display: DISPLAY, or Xvfb (package xvfb), which the script starts on its own.
set -euo pipefail

build=${1:-build}
repetitions=${2:-15}
rukanoba3=$build/src/programs/rukanoba3
hy3conv=$build/src/programs/hy3conv
for program in "$rukanoba3" "$hy3conv"; do
    [ -x "$program" ] || { echo "$program がありません（先にビルドしてください）" >&2; exit 2; }
done

work=$(mktemp -d)
source "$(dirname "$0")/common.sh"
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
start_screen_if_none

# 301 rows: a place name, a zone and 150 fares of three digits each.
for ((row = 1; row <= 301; row++)); do
    printf '停留所%d,%d' "$row" $((row % 9))
    for ((fare = 1; fare <= 150; fare++)); do printf ',%d' $((100 + (row * fare) % 900)); done
    printf '\r\n'
done >"$work/table.csv"
"$hy3conv" --quiet "$work/table.csv" "$work/table.hy3"

# Milliseconds from the launch to the first paint (the program prints the paint's time).
first_paint_ms() {
    local start painted
    start=$(date +%s%N)
    painted=$(RUKANOBA_BENCH_FIRST_PAINT=1 "$rukanoba3" "$@" 2>/dev/null)
    painted=${painted%% *}  # the wall-clock time; then the processor time
    echo $(((painted - start) / 1000000))
}

main_times=()
table_times=()
first_paint_ms >/dev/null  # warms the disk cache for both
for ((i = 0; i < repetitions; i++)); do
    main_times+=("$(first_paint_ms)")
    table_times+=("$(first_paint_ms "$work/table.hy3")")
done
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
best() { printf '%s\n' "$@" | sort -n | head -n 1; }

main_median=$(median "${main_times[@]}")
table_median=$(median "${table_times[@]}")
echo "メインウィンドウ: 最良 $(best "${main_times[@]}") ms、中央値 $main_median ms"
echo "表のウィンドウ (301 行 × 運賃 150、$(stat -c %s "$work/table.hy3") バイト): 最良 $(best "${table_times[@]}") ms、中央値 $table_median ms"
awk -v t="$table_median" -v m="$main_median" \
    'BEGIN { r = t / m; printf "比 (中央値): %.2f 倍（目標 1.2 倍以下）\n", r; exit !(r <= 1.2) }'
