#!/usr/bin/env bash
# Cross-builds, once, the libraries the Qt-free part needs for 64-bit Windows, from Debian's
# own sources: zlib and its minizip (read workbooks), expat (their XML), libxlsxwriter (write
# workbooks; a DLL, loaded only when a workbook is written, as on Linux), libzip and
# GoogleTest (the tests). Kept under ~/.cache/rukanoba3/, keyed on the versions Debian has
# installed for Linux and on this script; later runs only print the folder. Prints it last.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
toolchain=$here/mingw-w64-x86_64.cmake
triplet=x86_64-w64-mingw32

source_packages=(zlib expat libxlsxwriter libzip)
versions=$(dpkg-query -W -f='${source:Package}=${source:Version}\n' \
    zlib1g-dev libexpat1-dev libxlsxwriter-dev libzip-dev googletest)
key=$(printf '%s\n' "$versions" "$(cat "$0" "$toolchain")" | sha256sum | cut -c1-12)
cache=${RUKANOBA3_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/rukanoba3}
prefix=$cache/mingw-deps-$key
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit
fi

work=$cache/mingw-deps-work-$key
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix/lib/pkgconfig" "$prefix/include/minizip" "$prefix/bin"
echo "== Windows 向けのライブラリをビルドします（初回のみ、数分）: $prefix" >&2
"$here/fetch-sources.sh" "$work" "${source_packages[@]}"
cp "$work/sources-used" "$prefix/sources-used"

jobs=$(nproc)
cc=$triplet-gcc-posix
cflags=(-O2 -DNDEBUG)
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig
cmake_build() { # SOURCE_DIR CMAKE_OPTIONS...
    local source=$1
    shift
    local build=$work/build-$(basename "$source")
    cmake -S "$source" -B "$build" -G Ninja "-DCMAKE_TOOLCHAIN_FILE=$toolchain" \
        -DCMAKE_BUILD_TYPE=Release "-DCMAKE_INSTALL_PREFIX=$prefix" \
        "-DCMAKE_PREFIX_PATH=$prefix" "-DCMAKE_FIND_ROOT_PATH=$prefix" "$@" >&2
    cmake --build "$build" --parallel "$jobs" >&2
    cmake --install "$build" >&2
}
archive() { # LIBRARY SOURCES...
    local library=$1 objects=()
    shift
    mkdir -p "$work/objects-$library"
    for file in "$@"; do
        local object=$work/objects-$library/$(basename "${file%.c}").o
        "$cc" "${cflags[@]}" "-I$prefix/include" -c "$file" -o "$object"
        objects+=("$object")
    done
    "$triplet-ar" rcs "$prefix/lib/lib$library.a" "${objects[@]}"
}

# zlib, static: compiled file by file, as its own Makefile would.
zlib=$work/zlib
cp "$zlib/zlib.h" "$zlib/zconf.h" "$prefix/include/"
archive z "$zlib"/{adler32,compress,crc32,deflate,gzclose,gzlib,gzread,gzwrite,infback,inffast,inflate,inftrees,trees,uncompr,zutil}.c
zlib_version=$(sed -n 's/^#define ZLIB_VERSION "\(.*\)"/\1/p' "$zlib/zlib.h")
cat >"$prefix/lib/pkgconfig/zlib.pc" <<PC
prefix=$prefix
Name: zlib
Description: zlib compression library
Version: $zlib_version
Libs: -L\${prefix}/lib -lz
Cflags: -I\${prefix}/include
PC

# minizip, static, from zlib's contrib folder; its headers under include/minizip as Debian's.
minizip=$zlib/contrib/minizip
cp "$minizip"/{ioapi.h,unzip.h,zip.h,iowin32.h,crypt.h} "$prefix/include/minizip/"
archive minizip "$minizip"/{ioapi.c,unzip.c,zip.c,iowin32.c}
cat >"$prefix/lib/pkgconfig/minizip.pc" <<PC
prefix=$prefix
Name: minizip
Description: zip archives through zlib
Version: $zlib_version
Requires: zlib
Libs: -L\${prefix}/lib -lminizip -lz
Cflags: -I\${prefix}/include/minizip -I\${prefix}/include
PC

# expat, static: its users must say so (XML_STATIC) or they look for a DLL's symbols. Debian's
# security fixes test XML_DTD == 1, as its autotools build defines it.
sed -i 's/^#cmakedefine XML_DTD$/#cmakedefine01 XML_DTD/' "$work/expat/expat/expat_config.h.cmake"
cmake_build "$work/expat/expat" -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF \
    -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF
sed -i 's/^Cflags: \(.*\)/Cflags: \1 -DXML_STATIC/' "$prefix/lib/pkgconfig/expat.pc"

# libxlsxwriter, a DLL with zlib inside and no OpenSSL (the bundled minizip and MD5), so that
# it is one file beside the program.
cmake_build "$work/libxlsxwriter" -DBUILD_SHARED_LIBS=ON -DUSE_SYSTEM_MINIZIP=OFF \
    "-DZLIB_INCLUDE_DIR=$prefix/include" "-DZLIB_LIBRARY=$prefix/lib/libz.a" \
    "-DCMAKE_SHARED_LINKER_FLAGS=-static-libgcc"

# libzip, static, zlib and Windows' own cryptography (the tests encrypt with AES): the tests
# build their own zip archives with it.
cmake_build "$work/libzip" -DBUILD_SHARED_LIBS=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
    -DENABLE_ZSTD=OFF -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF \
    -DENABLE_COMMONCRYPTO=OFF -DENABLE_WINDOWS_CRYPTO=ON -DBUILD_TOOLS=OFF \
    -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF \
    "-DZLIB_INCLUDE_DIR=$prefix/include" "-DZLIB_LIBRARY=$prefix/lib/libz.a"
sed -i 's/^Libs: \(.*\)/Libs: \1 -lz -lbcrypt -ladvapi32/' "$prefix/lib/pkgconfig/libzip.pc"

# GoogleTest, static, from the source Debian installs for exactly this.
cmake_build /usr/src/googletest -DBUILD_SHARED_LIBS=OFF -Dgtest_force_shared_crt=ON

touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
