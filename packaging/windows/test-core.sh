#!/usr/bin/env bash
# test-core.sh LINUX_HY3CONV
# Cross-builds the Qt-free part for 64-bit Windows (the core with workbooks, hy3conv.exe and
# their tests, in build-windows-core/), runs the tests under Wine without a display, and
# checks that hy3conv.exe writes the very bytes the Linux hy3conv writes, with the same exit
# code, for every conformance input of the test suite, under Japanese and UNC paths too.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
linux_hy3conv=$(realpath "$1")
build=$root/build-windows-core

deps=$("$here/build-deps.sh")
export RUKANOBA3_WINDOWS_PREFIXES=$deps PKG_CONFIG_LIBDIR=$deps/lib/pkgconfig
# A Wine of its own, thrown away afterwards: nothing of the user's ~/.wine is touched.
WINEPREFIX=$(mktemp -d)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
wineboot -i >/dev/null 2>&1

echo "== Windows 向けにビルドします（ウィンドウなし）: $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DRUKANOBA_BUILD_WINDOW=OFF -DRUKANOBA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"

echo "== Windows 向けのテストを Wine で実行します"
# Wine's own complaints (no 32-bit Wine, no display) are left out of what is shown.
status=0
# A Wine process now and then fails to start at all (0.01 s, no output): such a test gets one
# more run.
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --repeat until-pass:2 >"$build/ctest.log" 2>&1 || status=$?
grep -av -e 'wine32' -e 'multiarch needs' -e 'dpkg --add-architecture' -e ':err:' \
    -e '^wine: ' "$build/ctest.log" | grep -a -A25 -e '\*\*\*Failed' -e '% tests passed' || true
[ "$status" -eq 0 ] || { echo "Windows 向けのテストが失敗しました（$build/ctest.log）" >&2; exit 1; }

echo "== hy3conv.exe と Linux の hy3conv の出力をバイト単位で比べます"
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX" "$work"' EXIT
# The inputs sit in a folder with a Japanese name with a space, reached as a drive path and
# as a UNC path (Wine serves \\server\share from dosdevices/unc).
inputs="$work/運賃 データ"
mkdir -p "$inputs" "$work/linux" "$WINEPREFIX/dosdevices/unc/fileserver"
ln -s "$work" "$WINEPREFIX/dosdevices/unc/fileserver/fares"
"$linux_hy3conv" --template "$inputs/テンプレート.txt" >/dev/null
cp "$root"/fuzz/corpus/convert_fare_table/* "$root"/tests/conversion/formats/workbook/fixtures/*.{csv,txt,xlsx,ods} "$inputs/"
exe=$(winepath -w "$build/bin/hy3conv.exe")
checked=0 converted=0 problems=0
for input in "$inputs"/*; do
    name=$(basename "$input")
    linux_code=0 windows_code=0 unc_code=0
    "$linux_hy3conv" "$input" "$work/linux/$name.hy3" >/dev/null 2>&1 || linux_code=$?
    wine "$exe" "$(winepath -w "$input")" "$(winepath -w "$work")\\$name.hy3" >/dev/null 2>&1 ||
        windows_code=$?
    wine "$exe" "\\\\fileserver\\fares\\運賃 データ\\$name" "\\\\fileserver\\fares\\$name.unc.hy3" \
        >/dev/null 2>&1 || unc_code=$?
    if [ "$linux_code" != "$windows_code" ] || [ "$linux_code" != "$unc_code" ]; then
        echo "$name: 終了コードが違います（Linux $linux_code、Windows $windows_code、UNC $unc_code）" >&2
        problems=$((problems + 1))
    elif [ "$linux_code" = 0 ] && ! { cmp -s "$work/linux/$name.hy3" "$work/$name.hy3" &&
        cmp -s "$work/linux/$name.hy3" "$work/$name.unc.hy3"; }; then
        echo "$name: 出力のバイトが違います" >&2
        problems=$((problems + 1))
    fi
    checked=$((checked + 1))
    [ "$linux_code" != 0 ] || converted=$((converted + 1))
done
echo "入力 $checked 個（変換できたもの $converted 個、エラーになるもの $((checked - converted)) 個）: 違い $problems 個"
[ "$problems" -eq 0 ]
