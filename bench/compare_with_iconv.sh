#!/usr/bin/env bash
# Times hy3conv against `iconv -f CP932 -t UTF-8` over the same files, and measures
# hy3conv's peak memory. Goals: the largest table converts in at most half of iconv's time,
# the hostile table in at most iconv's time, the largest table costs at most 1.3 times the CPU
# time of `wc -l` on it, and memory does not grow with the rows.
#
# Usage: bench/compare_with_iconv.sh [path/to/hy3conv] [repetitions]
set -euo pipefail
source "$(dirname "$0")/common.sh"

hy3conv=${1:-build/src/programs/hy3conv}
repetitions=${2:-7}
[ -x "$hy3conv" ] || { echo "hy3conv が見つかりません: $hy3conv" >&2; exit 2; }
command -v iconv >/dev/null || { echo "iconv が見つかりません" >&2; exit 2; }
if [ ! -x /usr/bin/time ]; then
    if [ "$(id -u)" -eq 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq time </dev/null >/dev/null
    else
        sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq time </dev/null >/dev/null
    fi
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The largest table the converter counts: 32767 rows of a place name, a zone and 150 fares.
full_rows_table 32767 >"$work/largest.txt"
head -n 3000 "$work/largest.txt" >"$work/rows3000.txt"

# A hostile table: 50 rows whose third field is 200,000 spaces and then a digit.
awk 'BEGIN {
    spaces = " "
    while (length(spaces) < 200000) spaces = spaces spaces
    spaces = substr(spaces, 1, 200000)
    for (row = 1; row <= 50; row++) printf "地名%d,1,%s5\r\n", row, spaces
}' | iconv -f UTF-8 -t CP932 >"$work/hostile.txt"

now_ns() { date +%s%N; }

# Microseconds one run of a command takes.
time_us() {
    local start end
    start=$(now_ns)
    "$@" >/dev/null
    end=$(now_ns)
    echo $(((end - start) / 1000))
}

# The best and the median of a list of microseconds, in milliseconds.
best_and_median() {
    sort -n | awk '{ t[NR] = $1 } END { printf "%.1f %.1f\n", t[1] / 1000, t[int((NR + 1) / 2)] / 1000 }'
}

compare() {
    local label=$1 input=$2 goal=$3
    # Warm the page cache so that both read the file from memory.
    cat "$input" >/dev/null
    "$hy3conv" "$input" "$work/out.hy3" >/dev/null ||
        { echo "$label: hy3conv failed" >&2; exit 1; }
    # Alternate the two so that a busy moment of the machine weighs on both alike.
    local hy3convTimes=() iconvTimes=()
    for ((i = 0; i < repetitions; i++)); do
        hy3convTimes+=("$(time_us "$hy3conv" "$input" "$work/out.hy3")")
        iconvTimes+=("$(time_us iconv -f CP932 -t UTF-8 "$input")")
    done
    read -r convBest convMedian < <(printf '%s\n' "${hy3convTimes[@]}" | best_and_median)
    read -r iconvBest iconvMedian < <(printf '%s\n' "${iconvTimes[@]}" | best_and_median)
    awk -v label="$label" -v size="$(stat -c %s "$input")" -v cb="$convBest" -v cm="$convMedian" \
        -v ib="$iconvBest" -v im="$iconvMedian" -v goal="$goal" 'BEGIN {
        ratio = cb / ib
        printf "%s (%.1f MB): hy3conv %.1f ms (中央値 %.1f)、iconv %.1f ms (中央値 %.1f)、比 %.2f (目標 %s 以下: %s)\n",
            label, size / 1e6, cb, cm, ib, im, ratio, goal, (ratio <= goal ? "達成" : "未達")
    }'
}

peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }

echo "== 速さ (${repetitions} 回の最良値と中央値)"
compare "最大の表" "$work/largest.txt" 0.5
compare "悪意のある表" "$work/hostile.txt" 1.0

echo "== CPU 時間 (user + sys、1 回あたり、40 回の平均): 最大の表と wc -l"
cpu_runs=40
hy3convCpu=$(cpu_ms_per_run "$cpu_runs" "$hy3conv" "$work/largest.txt" "$work/out.hy3")
wcCpu=$(cpu_ms_per_run "$cpu_runs" wc -l "$work/largest.txt")
awk -v h="$hy3convCpu" -v w="$wcCpu" 'BEGIN {
    printf "最大の表: hy3conv %.2f ms、wc -l %.2f ms、比 %.2f (目標 1.3 以下: %s)\n",
        h, w, h / w, (h / w <= 1.3 ? "達成" : "未達")
}'

echo "== 最大メモリ (/usr/bin/time -f %M)"
memory() {
    local label=$1 input=$2
    printf '%s: hy3conv %s KB、iconv %s KB\n' "$label" \
        "$(peak_kb "$hy3conv" "$input" "$work/out.hy3")" \
        "$(peak_kb iconv -f CP932 -t UTF-8 "$input")"
}
memory "3000 行の表" "$work/rows3000.txt"
memory "最大の表 (32767 行)" "$work/largest.txt"
memory "悪意のある表" "$work/hostile.txt"
