#!/usr/bin/env bash
# The house rules, checked on the sources: includes point one way and form no loop, no file
# (nor a header with its source) grows past 400 lines, the platform holds no Japanese text but
# its table of the error codes' descriptions, no header outside posix/ shows a POSIX type (nor outside win32/ a Windows one),
# and the Qt-free folders include nothing of Qt. Prints every offender; exits 1 if any.
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$root" || exit 2

# Which folders of src/ each folder may include from (the longest matching folder decides).
allowed_includes=(
    "fare_model:fare_model"
    "platform/os:platform/os fare_model"
    "platform/desktop:platform/desktop"
    "conversion:conversion fare_model platform/os"
    "template/text:template/text"
    "template:template conversion fare_model platform"
    "window:window template conversion fare_model platform"
    "programs:programs window template conversion fare_model platform"
)
# The only file under src/platform/ that may hold Japanese text.
descriptions_table=src/platform/os/error_descriptions.cpp
# Folders and files that must build without Qt.
qt_free=(src/fare_model src/conversion src/platform/os src/template/text fuzz bench
    tests/support/test_support.h tests/support/test_support.cpp tests/support/fare_records.h
    tests/support/system_cp932.h)
max_lines=400

failures=0
fail() {
    echo "$1" >&2
    failures=1
}

# "src/a/b.cpp" -> "a/b": a header and its source are one unit.
unit_of() { local path=${1#src/}; echo "${path%.*}"; }

# Lines: "FROM_FILE INCLUDED_PATH" for every project include in src/.
project_includes() {
    grep -rnoE '^#[[:space:]]*include[[:space:]]+"[^"]+"' src --include='*.h' --include='*.cpp' |
        sed -E 's/^([^:]+):[0-9]+:#[[:space:]]*include[[:space:]]+"([^"]+)"/\1 \2/' |
        while read -r from included; do
            [ -f "src/$included" ] && echo "$from $included"
        done
}

rule_for() {
    local folder=$1 best="" rule
    for rule in "${allowed_includes[@]}"; do
        local key=${rule%%:*}
        if [[ $folder == "$key" || $folder == "$key/"* ]] && [ ${#key} -gt ${#best} ]; then
            best=$key
        fi
    done
    echo "$best"
}

check_include_direction() {
    local from included folder key allowed ok target
    while read -r from included; do
        folder=$(dirname "${from#src/}")
        if [[ $included == platform/os/posix/* && $from != src/platform/os/posix/* ]] ||
            [[ $included == platform/os/win32/* && $from != src/platform/os/win32/* ]]; then
            fail "内側の実装を外から読んでいます: $from -> $included"
            continue
        fi
        key=$(rule_for "$folder")
        [ -z "$key" ] && continue
        allowed=""
        for rule in "${allowed_includes[@]}"; do
            [ "${rule%%:*}" = "$key" ] && allowed=${rule#*:}
        done
        ok=0
        for target in $allowed; do
            [[ $included == "$target/"* ]] && ok=1
        done
        [ $ok -eq 1 ] || fail "向きの違う include: $from -> $included（$key が読めるのは $allowed）"
    done < <(project_includes)
}

check_include_loops() {
    local edges loop
    edges=$(project_includes | while read -r from included; do
        local a b
        a=$(unit_of "$from")
        b=$(unit_of "src/$included")
        [ "$a" != "$b" ] && echo "$a $b"
    done | sort -u)
    # tsort names the units of each loop it meets on standard error.
    loop=$(tsort <<<"$edges" 2>&1 >/dev/null | grep -v 'input contains a loop' | sed 's/^tsort: /  /')
    [ -z "$loop" ] || fail "include のループ（ヘッダとソースを一つと数えます）:
$loop"
}

check_lengths() {
    local file lines
    while IFS= read -r file; do
        lines=$(wc -l <"$file")
        [ "$lines" -le $max_lines ] || fail "$max_lines 行を超えるファイル: $file（$lines 行）"
    done < <(find src tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \))
    while read -r lines unit; do
        [ "$lines" -le $max_lines ] || fail "$max_lines 行を超える単位（ヘッダとソース）: src/$unit（$lines 行）"
    done < <(find src -type f \( -name '*.cpp' -o -name '*.h' \) | while read -r f; do
        echo "$(wc -l <"$f") $(unit_of "$f")"
    done | awk '{ total[$2] += $1 } END { for (u in total) print total[u], u }')
}

check_platform_japanese() {
    local found
    found=$(grep -rnP '[\x{3000}-\x{9FFF}\x{FF00}-\x{FFEF}]' src/platform --include='*.cpp' \
        --include='*.h' | grep -v "^$descriptions_table:" | grep -vP '^[^:]+:[0-9]+:\s*//')
    [ -z "$found" ] || fail "src/platform に日本語の文があります（説明の表 $descriptions_table のほかは不可）:
$found"
}

check_posix_types_in_headers() {
    local found
    found=$(grep -rnE '\b(ino_t|dev_t|mode_t|pid_t|uid_t|gid_t|off_t)\b|struct stat\b|\bint (fd|handle)_?\b' \
        src --include='*.h' | grep -v '^src/platform/os/posix/' | grep -vE '^[^:]+:[0-9]+:[[:space:]]*//')
    # And Windows' own types stay in win32/.
    found+=$(grep -rnE '\b(HANDLE|DWORD|HMODULE)\b|<windows\.h>' src --include='*.h' |
        grep -v '^src/platform/os/win32/' | grep -vE '^[^:]+:[0-9]+:[[:space:]]*//')
    [ -z "$found" ] || fail "posix/ の外の見出しに OS の型があります:
$found"
}

check_qt_free() {
    local found
    # The bare Qt window that the main window's start is measured against is Qt itself.
    found=$(grep -rnE '#[[:space:]]*include[[:space:]]*<Q' "${qt_free[@]}" 2>/dev/null |
        grep -v '^bench/bare_window\.cpp:')
    [ -z "$found" ] || fail "Qt を使わないフォルダに Qt の include があります:
$found"
}

check_include_direction
check_include_loops
check_lengths
check_platform_japanese
check_posix_types_in_headers
check_qt_free
exit $failures
