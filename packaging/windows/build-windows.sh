#!/usr/bin/env bash
# Builds the Windows downloads on Debian: Qt and the libraries for Windows (cached), the
# window, hy3conv.exe and every test for Windows in build-windows/, the tests run under Wine
# (on a virtual screen), the programs staged with what they need, then
#   build-windows/rukanoba3-VERSION-windows-x64.zip and build-windows/rukanoba3-VERSION-setup.exe,
# and the installer installed and uninstalled silently under Wine.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$root/build-windows
version=$(sed -n 's/^project(rukanoba3 VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
started=$(date +%s)

qt=$("$here/build-qt.sh")
deps=$("$here/build-deps.sh")
export RUKANOBA3_WINDOWS_PREFIXES="$qt;$deps" PKG_CONFIG_LIBDIR=$deps/lib/pkgconfig

# The MinGW runtime the programs and Qt were built against.
compiler=x86_64-w64-mingw32-g++-posix
runtime_dlls=(
    "$($compiler -print-file-name=libstdc++-6.dll)"
    "$($compiler -print-file-name=libgcc_s_seh-1.dll)"
    "$($compiler -print-file-name=libwinpthread-1.dll)"
)
for dll in "${runtime_dlls[@]}"; do
    [ -f "$dll" ] || { echo "MinGW の実行時ライブラリがありません: $dll" >&2; exit 1; }
done

# A Wine of its own and a virtual screen for the window's tests; both go away at the end.
WINEPREFIX=$(mktemp -d)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
screen=:$((90 + RANDOM % 100))
Xvfb "$screen" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
export DISPLAY=$screen
wineboot -i >/dev/null 2>&1
path=""
for folder in "$qt/bin" "$(dirname "${runtime_dlls[0]}")" "$(dirname "${runtime_dlls[2]}")"; do
    path+="$(winepath -w "$folder");"
done
export WINEPATH=$path

echo "== Windows 向けにビルドします: $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DRUKANOBA_BUILD_BENCH=OFF "-DCMAKE_PREFIX_PATH=$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >/dev/null
cmake --build "$build" --parallel "$(nproc)"

echo "== Windows 向けのテストを Wine で実行します"
# The tests use the cached Qt, with Debian's Japanese translation of Qt's own texts.
windows_path() { winepath -w "$1" | tr '\\' /; }
printf '[Paths]\r\nPrefix = %s\r\nTranslations = %s\r\n' "$(windows_path "$qt")" \
    "$(windows_path /usr/share/qt6/translations)" >"$build/bin/qt.conf"
status=0
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --repeat until-pass:2 \
    >"$build/ctest.log" 2>&1 || status=$?
grep -a -A25 -e '\*\*\*Failed' -e '% tests passed' "$build/ctest.log" |
    grep -av -e 'wine32' -e 'multiarch' -e 'add-architecture' -e ':err:' || true
[ "$status" -eq 0 ] || { echo "Windows 向けのテストが失敗しました（$build/ctest.log）" >&2; exit 1; }

echo "== 配布するファイルを集めます: $build/stage"
stage=$build/stage
rm -rf "$stage"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/imageformats" "$stage/translations"
cp "$build/bin/rukanoba3.exe" "$build/bin/hy3conv.exe" "$build/bin/libxlsxwriter.dll" "$stage/"
cp "${runtime_dlls[@]}" "$qt"/bin/Qt6{Core,Gui,Widgets,PrintSupport}.dll "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
cp "$qt/plugins/imageformats/qico.dll" "$stage/imageformats/"
cp /usr/share/qt6/translations/qtbase_ja.qm "$stage/translations/"
cp -R "$build"/share/doc/rukanoba3/. "$stage/"
cp "$here/rukanoba3.ico" "$stage/"
# Qt finds its plugins and translations beside the program, wherever it was unpacked.
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' >"$stage/qt.conf"
x86_64-w64-mingw32-strip "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll

echo "== rukanoba3.exe 運賃.csv を Wine で開きます"
"$here/check-window.sh" "$stage"

"$here/package.sh" "$stage" "$version" "$build"
"$here/check-installer.sh" "$build/rukanoba3-$version-setup.exe" "$stage"
echo "== Windows 版ができました（$(($(date +%s) - started)) 秒）:"
ls -l "$build/rukanoba3-$version-windows-x64.zip" "$build/rukanoba3-$version-setup.exe"
