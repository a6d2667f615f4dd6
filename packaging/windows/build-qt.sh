#!/usr/bin/env bash
# Cross-builds Qt's base module for 64-bit Windows from Debian's own source package, once:
# the result is kept under ~/.cache/rukanoba3/, keyed on the source version and this
# configure line, and later runs only print its folder. Prints the install prefix last.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
toolchain=$here/mingw-w64-x86_64.cmake

source_package=qt6-base
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
# The host's moc, rcc and uic generate the code, so Qt for Windows is the host's version.
configure_options=(
    -release -shared -xplatform win32-g++ -qt-host-path /usr
    -nomake examples -nomake tests
    -no-opengl -no-dbus -no-icu -no-freetype -no-libjpeg -no-feature-tabletevent
    -qt-zlib -qt-libpng -qt-pcre -qt-harfbuzz
)
cmake_options=(
    -G Ninja "-DCMAKE_TOOLCHAIN_FILE=$toolchain"
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DFEATURE_sql=OFF -DFEATURE_network=OFF
)
key=$(printf '%s\n' "$version" "${configure_options[@]}" "${cmake_options[@]}" \
    "$(cat "$toolchain")" | sha256sum | cut -c1-12)
cache=${RUKANOBA3_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/rukanoba3}
prefix=$cache/qt-$version-$key
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit
fi

work=$cache/qt-work-$key
rm -rf "$work" "$prefix"
mkdir -p "$work"
echo "== Qt $version を Windows 向けにビルドします（初回のみ、20～50 分）: $prefix" >&2

"$here/fetch-sources.sh" "$work" "$source_package=$version"

mkdir -p "$work/build"
(cd "$work/build" &&
    "$work/$source_package/configure" -prefix "$prefix" "${configure_options[@]}" -- "${cmake_options[@]}" >&2 &&
    cmake --build . --parallel "$(nproc)" >&2 &&
    cmake --install . >&2)
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
