#!/usr/bin/env bash
# One line of 100 MB without a line end: hy3conv must convert it (or fail) in at most the time
# `iconv -f CP932 -t UTF-8` takes to read it, with a peak memory at most twice that of
# converting the built-in template.
#
# Usage: bench/long_line.sh [path/to/hy3conv] [repetitions]
set -euo pipefail

hy3conv=${1:-build/src/programs/hy3conv}
repetitions=${2:-3}
[ -x "$hy3conv" ] || { echo "hy3conv が見つかりません: $hy3conv" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time がありません (パッケージ time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
megabytes=100

# A fare field of 100 MB of spaces, then a digit: converts.
{ printf 'a,1,'; head -c $((megabytes * 1000000)) /dev/zero | tr '\0' ' '; printf '5'; } \
    >"$work/spaces.txt"
# A place name of 50 million kanji (100 MB): fails with code 6.
{ yes $'\x92\x6e' | tr -d '\n' | head -c $((megabytes * 1000000)) || true; printf ',1,5'; } \
    >"$work/name.txt"
"$hy3conv" --template "$work/template.txt" >/dev/null

best_ms() {
    local best=""
    for ((i = 0; i < repetitions; i++)); do
        local start end
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1 || true
        end=$(date +%s%N)
        local ms=$(((end - start) / 1000000))
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    echo "$best"
}
peak_kb() { { /usr/bin/time -f %M "$@" 2>&1 >/dev/null || true; } | tail -n 1; }

templateKb=$(peak_kb "$hy3conv" "$work/template.txt" "$work/out.hy3")
echo "テンプレートの変換: 最大メモリ ${templateKb} KB"
for table in spaces name; do
    input="$work/$table.txt"
    cat "$input" >/dev/null
    convMs=$(best_ms "$hy3conv" "$input" "$work/out.hy3")
    iconvMs=$(best_ms iconv -f CP932 -t UTF-8 "$input")
    convKb=$(peak_kb "$hy3conv" "$input" "$work/out.hy3")
    awk -v t="$table" -v c="$convMs" -v i="$iconvMs" -v m="$convKb" -v tm="$templateKb" 'BEGIN {
        printf "%s (100 MB の1行): hy3conv %d ms、iconv %d ms (目標 iconv 以下: %s)、最大メモリ %d KB (目標 %d KB 以下: %s)\n",
            t, c, i, (c <= i ? "達成" : "未達"), m, 2 * tm, (m <= 2 * tm ? "達成" : "未達")
    }'
done
