# Shared by the benchmark scripts (sourced, not run).

# A table of `$1` full rows (a place name, a zone and 150 fares) in code page 932, CR LF.
full_rows_table() {
    awk -v rows="$1" 'BEGIN {
        for (row = 1; row <= rows; row++) {
            line = "運賃表示器前停留所" row "," (row % 50 + 1)
            for (k = 0; k < 150; k++) line = line "," (140 + 10 * ((row + k) % 60))
            printf "%s\r\n", line
        }
    }' | iconv -f UTF-8 -t CP932
}

# CPU time (user + sys) of many runs in one shell loop, less the loop's own cost (the same
# number of runs of /bin/true), in milliseconds per run. A run's failure is its business.
cpu_ms_per_run() {
    local runs=$1
    shift
    local quoted
    quoted=$(printf '%q ' "$@")
    local loop total empty
    loop="for ((i = 0; i < $runs; i++)); do $quoted >/dev/null 2>&1 || true; done"
    total=$(/usr/bin/time -f '%U %S' bash -c "$loop" 2>&1 >/dev/null | tail -n 1)
    empty=$(/usr/bin/time -f '%U %S' bash -c "${loop/$quoted/\/bin\/true }" 2>&1 >/dev/null |
        tail -n 1)
    awk -v t="$total" -v e="$empty" -v n="$runs" 'BEGIN {
        split(t, a, " "); split(e, b, " ")
        printf "%.2f\n", ((a[1] + a[2]) - (b[1] + b[2])) * 1000 / n
    }'
}

# Starts Xvfb on a free display when there is no screen, and sets DISPLAY; xvfb_pid is then its
# process, for the caller's clean-up (empty where a screen was there already).
xvfb_pid=
start_screen_if_none() {
    [ -z "${DISPLAY:-}" ] || return 0
    command -v Xvfb >/dev/null || { echo "画面も Xvfb もありません" >&2; exit 2; }
    local display=:$((90 + RANDOM % 100))
    Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=$display
    sleep 1
}
