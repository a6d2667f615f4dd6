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
    qt6-base-dev qt6-translations-l10n fonts-ipafont-gothic
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

build() {
    echo "== ビルドします"
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build
}

run_program() {
    echo "== 内蔵テンプレートを hy3conv で変換します"
    local work
    work=$(mktemp -d)
    ./build/src/programs/hy3conv --template "$work/template.txt" 2>/dev/null ||
        cp src/template/template.txt "$work/template.txt"
    ./build/src/programs/hy3conv "$work/template.txt" "$work/template.hy3"
    echo "出力: $(stat -c %s "$work/template.hy3") バイト"
    od -A d -t x1 "$work/template.hy3" | head -4
    rm -rf "$work"
}

run_tests() {
    echo "== テストを実行します"
    ctest --test-dir build --output-on-failure -j "$(nproc)"
}

# The whole test suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer:
# the first fault stops the run.
run_sanitized_tests() {
    echo "== AddressSanitizer と UndefinedBehaviorSanitizer でビルドしてテストします"
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUKANOBA_SANITIZE=ON \
        -DRUKANOBA_BUILD_BENCH=OFF >/dev/null
    cmake --build build-asan -j2
    ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1 \
        UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 QT_QPA_PLATFORM=offscreen \
        ctest --test-dir build-asan --output-on-failure -j 2
}

fuzz_targets=(parse_fare_line convert_fare_table)

# Builds the fuzz targets with clang, runs every kept input again, then fuzzes each target
# for FUZZ_SECONDS (60 unless set). Inputs found on the way stay in build-fuzz/corpus.
run_fuzzers() {
    echo "== ファジングします"
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUKANOBA_BUILD_FUZZ=ON -DRUKANOBA_BUILD_WINDOW=OFF \
        -DRUKANOBA_BUILD_TESTS=OFF -DRUKANOBA_BUILD_BENCH=OFF >/dev/null
    cmake --build build-fuzz -j2
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
    run_sanitized_tests
    run_fuzzers
fi
