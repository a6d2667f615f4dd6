#!/usr/bin/env bash
# Time from the launch of `rukanoba3` to the first paint of its main window, against a bare
# Japanese Qt Widgets window (build/bench/bare_window: the same font set-up, one QLabel of
# Japanese text), launched alternately in the same run on the same display.
# Goal: the main window takes at most 1.1 times the bare window (median of the pairs' ratios).
#
# Usage: [RUKANOBA3=program] bench/main_window_start.sh [build folder] [pairs]
# Needs a display: DISPLAY, or Xvfb (package xvfb), which the script starts on its own.
set -euo pipefail

build=${1:-build}
pairs=${2:-20}
rukanoba3=${RUKANOBA3:-$build/src/programs/rukanoba3}  # another build of it, to compare
bare=$build/bench/bare_window
for program in "$rukanoba3" "$bare"; do
    [ -x "$program" ] || { echo "$program がありません（先にビルドしてください）" >&2; exit 2; }
done

source "$(dirname "$0")/common.sh"
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; true; }
trap cleanup EXIT
start_screen_if_none

# "wall cpu": milliseconds (with a fraction) from the launch to the first paint, and the
# processor time the program had used by then, both of which it prints.
first_paint_ms() {
    local start painted
    start=$(date +%s%N)
    painted=$(RUKANOBA_BENCH_FIRST_PAINT=1 "$@" 2>/dev/null)
    awk -v p="${painted%% *}" -v c="${painted#* }" -v s="$start" \
        'BEGIN { printf "%.1f %.1f\n", (p - s) / 1e6, c / 1e3 }'
}

# Warms the disk cache for both.
first_paint_ms "$rukanoba3" >/dev/null
first_paint_ms "$bare" >/dev/null
main_times=() bare_times=() ratios=() main_cpu=() bare_cpu=() cpu_ratios=()
for ((i = 0; i < pairs; i++)); do
    # Alternates which goes first, so that neither always follows the other.
    if ((i % 2 == 0)); then
        read -r main main_used < <(first_paint_ms "$rukanoba3")
        read -r bare_ms bare_used < <(first_paint_ms "$bare")
    else
        read -r bare_ms bare_used < <(first_paint_ms "$bare")
        read -r main main_used < <(first_paint_ms "$rukanoba3")
    fi
    main_times+=("$main") bare_times+=("$bare_ms") main_cpu+=("$main_used") bare_cpu+=("$bare_used")
    ratios+=("$(awk -v m="$main" -v b="$bare_ms" 'BEGIN { printf "%.3f\n", m / b }')")
    cpu_ratios+=("$(awk -v m="$main_used" -v b="$bare_used" 'BEGIN { printf "%.3f\n", m / b }')")
done
median() {
    printf '%s\n' "$@" | sort -g |
        awk '{ a[NR] = $1 } END { print (NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2) }'
}

main_median=$(median "${main_times[@]}")
bare_median=$(median "${bare_times[@]}")
ratio=$(median "${ratios[@]}")
echo "メインウィンドウ: 中央値 $main_median ms（$pairs 回。プロセッサ時間 $(median "${main_cpu[@]}") ms）"
echo "日本語の Qt のウィンドウ: 中央値 $bare_median ms（$pairs 回。プロセッサ時間 $(median "${bare_cpu[@]}") ms）"
echo "プロセッサ時間の比: 組ごとの比の中央値 $(median "${cpu_ratios[@]}") 倍（負荷の高いマシンでの目安）"
awk -v r="$ratio" -v m="$main_median" -v b="$bare_median" 'BEGIN {
    printf "比: 組ごとの比の中央値 %.2f 倍、中央値どうしの比 %.2f 倍（目標 1.1 倍以下）\n", r, m / b
    exit !(r <= 1.1)
}'
