#!/usr/bin/env bash
# Sets up a Debian 12 machine for this project, builds it, and then either runs the
# program (./build.sh run) or every test (./build.sh test).
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-run}
case "$mode" in
    run | test) ;;
    *)
        echo "使い方: ./build.sh run | ./build.sh test" >&2
        exit 2
        ;;
esac

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-wayland qt6-translations-l10n fonts-ipafont-gothic
    dpkg-dev file desktop-file-utils shared-mime-info
)
# The fuzz targets need clang and its sanitizer runtime; only the tests use them.
if [ "$mode" = test ]; then
    packages+=(clang libclang-rt-14-dev)
fi

install_missing_packages() {
    local missing=()
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "== 足りないパッケージを入れます: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" </dev/null
    fi
}

# The three builds (build/, build-asan/, build-fuzz/) are the presets of CMakePresets.json.
build() {
    echo "== ビルドします"
    cmake --preset normal >/dev/null
    cmake --build --preset normal
}

show_command_line_use() {
    echo "   画面のないところでは、コマンドラインで変換できます:"
    echo "     ./build/src/programs/hy3conv 入力ファイル.csv 出力ファイル.hy3"
    echo "== 例として、内蔵テンプレートを hy3conv で変換します"
    local work
    work=$(mktemp -d)
    ./build/src/programs/hy3conv --template "$work/template.txt" 2>/dev/null ||
        cp src/template/text/template.txt "$work/template.txt"
    ./build/src/programs/hy3conv "$work/template.txt" "$work/template.hy3"
    echo "出力: $(stat -c %s "$work/template.hy3") バイト"
    od -A d -t x1 "$work/template.hy3" | head -4
    rm -rf "$work"
}

run_program() {
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "== 画面（ディスプレイ）が見つからないため、ウィンドウを開けません。"
        echo "   デスクトップの端末から ./build.sh run を実行すると、ウィンドウが開きます。"
        show_command_line_use
        return
    fi
    echo "== ウィンドウを開きます"
    if ! ./build/src/programs/rukanoba3; then
        echo "== ウィンドウを開けませんでした（画面に接続できません）。"
        show_command_line_use
    fi
}

# The core and its operating-system adapters build without Qt: a Qt include in one of these
# folders fails the test run.
qt_free_folders=(src/conversion src/platform/os src/template/text fuzz bench)

check_qt_free_folders() {
    local found
    if found=$(grep -rnE '#[[:space:]]*include[[:space:]]*<Q' "${qt_free_folders[@]}"); then
        echo "$found" >&2
        echo "Qt を使わないフォルダに Qt の include があります（上記）" >&2
        return 1
    fi
}

run_tests() {
    check_qt_free_folders
    echo "== テストを実行します"
    ctest --preset normal -j "$(nproc)"
}

# Builds the .deb and checks that it installs like a desktop application: the programs, the
# menu entry, the icons and the MIME type, with the libraries and fonts it needs.
check_debian_package() {
    echo "== Debian パッケージを作って中身を確かめます"
    rm -f build/rukanoba3_*.deb
    local log
    log=$(cd build && cpack -G DEB 2>&1) || { echo "$log" >&2; return 1; }
    local deb
    deb=$(ls build/rukanoba3_*.deb)
    local files
    files=$(dpkg-deb -c "$deb" | awk '{ sub(/^\./, "", $6); print $6 }')
    local expected=(
        /usr/bin/hy3conv
        /usr/share/applications/rukanoba3.desktop
        /usr/share/icons/hicolor/32x32/apps/rukanoba3.png
        /usr/share/icons/hicolor/scalable/apps/rukanoba3.svg
        /usr/share/mime/packages/rukanoba3.xml
    )
    local depends_needed=(qt6-qpa-plugins qt6-translations-l10n fonts-ipafont-gothic)
    if [ -n "$(find build/src -type f -name rukanoba3 -perm -u+x)" ]; then
        expected+=(/usr/bin/rukanoba3)
        depends_needed+=(libqt6widgets6)
    fi
    local problems=0
    for path in "${expected[@]}"; do
        grep -qxF "$path" <<<"$files" || { echo "パッケージに $path がありません" >&2; problems=1; }
    done
    if grep -v -e '^/usr/bin/' -e '^/usr/share/' -e '/$' <<<"$files"; then
        echo "パッケージに余計なファイルがあります（上記）" >&2
        problems=1
    fi
    local depends
    depends=$(dpkg-deb -f "$deb" Depends)
    for package in "${depends_needed[@]}"; do
        grep -qE "(^|, )$package( |,|$)" <<<"$depends" ||
            { echo "Depends に $package がありません: $depends" >&2; problems=1; }
    done
    local unpacked
    unpacked=$(mktemp -d)
    dpkg-deb -x "$deb" "$unpacked"
    desktop-file-validate "$unpacked/usr/share/applications/rukanoba3.desktop" || problems=1
    XDG_DATA_DIRS="$unpacked/usr/share" update-mime-database "$unpacked/usr/share/mime" ||
        { echo "MIME 型の定義が読めません" >&2; problems=1; }
    grep -qx 'application/x-hy3' <(cut -d: -f1 "$unpacked/usr/share/mime/globs") ||
        { echo "*.hy3 の MIME 型が登録されません" >&2; problems=1; }
    file "$unpacked/usr/share/icons/hicolor/32x32/apps/rukanoba3.png" | grep -q '32 x 32, 8-bit colormap' ||
        { echo "32×32 のパレットアイコンではありません" >&2; problems=1; }
    rm -rf "$unpacked"
    if [ "$problems" -ne 0 ]; then
        echo "Debian パッケージに問題があります: $deb" >&2
        return 1
    fi
    echo "$deb: ファイル ${#expected[@]} 個と依存関係を確かめました"
}

# The whole test suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer:
# the first fault stops the run.
run_sanitized_tests() {
    echo "== AddressSanitizer と UndefinedBehaviorSanitizer でビルドしてテストします"
    cmake --preset sanitized >/dev/null
    cmake --build --preset sanitized
    ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1 \
        UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 QT_QPA_PLATFORM=offscreen \
        ctest --preset sanitized
}

fuzz_targets=(parse_fare_line convert_fare_table)

# Builds the fuzz targets with clang, runs every kept input again, then fuzzes each target
# for FUZZ_SECONDS (60 unless set). Inputs found on the way stay in build-fuzz/corpus.
run_fuzzers() {
    echo "== ファジングします"
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz
    local target fuzzer
    for target in "${fuzz_targets[@]}"; do
        fuzzer=build-fuzz/fuzz/fuzz_$target
        echo "-- $target: 保存済みの入力を再実行します"
        if ! "$fuzzer" fuzz/corpus/"$target"/* >build-fuzz/"$target"-corpus.log 2>&1; then
            tail -n 60 build-fuzz/"$target"-corpus.log
            echo "保存済みの入力で不具合が再発しました。" >&2
            return 1
        fi
        echo "-- $target: ${FUZZ_SECONDS:-60} 秒ファジングします"
        mkdir -p build-fuzz/corpus/"$target" build-fuzz/crashes
        if ! "$fuzzer" -max_total_time="${FUZZ_SECONDS:-60}" -timeout=10 -rss_limit_mb=2048 \
            -max_len=16384 -print_final_stats=1 -artifact_prefix=build-fuzz/crashes/"$target"- \
            build-fuzz/corpus/"$target" fuzz/corpus/"$target" >build-fuzz/"$target".log 2>&1; then
            tail -n 60 build-fuzz/"$target".log
            echo "ファジングで不具合が見つかりました。入力は build-fuzz/crashes にあります。" >&2
            return 1
        fi
        grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' \
            build-fuzz/"$target".log
    done
}

install_missing_packages
build
if [ "$mode" = run ]; then
    run_program
else
    run_tests
    check_debian_package
    run_sanitized_tests
    run_fuzzers
fi
