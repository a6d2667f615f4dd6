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

show_command_line_use() {
    echo "   画面のないところでは、コマンドラインで変換できます:"
    echo "     ./build/src/programs/hy3conv 入力ファイル.csv 出力ファイル.hy3"
    echo "== 例として、内蔵テンプレートを hy3conv で変換します"
    local work
    work=$(mktemp -d)
    ./build/src/programs/hy3conv --template "$work/template.txt" 2>/dev/null ||
        cp src/template/template.txt "$work/template.txt"
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

run_tests() {
    echo "== テストを実行します"
    ctest --test-dir build --output-on-failure -j "$(nproc)"
}

install_missing_packages
build
if [ "$mode" = run ]; then run_program; else run_tests; fi
