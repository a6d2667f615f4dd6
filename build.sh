#!/usr/bin/env bash
# Sets up a Debian 12 machine for this project, builds it, and then either runs the
# program (./build.sh run) or every test (./build.sh test); ./build.sh package only builds
# and checks the Debian package; ./build.sh windows builds the Windows zip and installer.
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-run}
case "$mode" in
    run | test | package | windows) ;;
    *)
        echo "使い方: ./build.sh run | ./build.sh test | ./build.sh package | ./build.sh windows" >&2
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
    cmark-gfm
    libminizip-dev libexpat1-dev libxlsxwriter-dev libzip-dev
    libfontconfig-dev
)
# The fuzz targets need clang and its sanitizer runtime; only the tests use them.
if [ "$mode" = test ]; then
    packages+=(clang libclang-rt-14-dev acl)
    # The printed tables are read back from their PDF with poppler's pdftotext and pdffonts.
    packages+=(poppler-utils)
    # Memory cards and USB sticks: FAT, exFAT and NTFS images mounted through FUSE.
    packages+=(dosfstools exfatprogs fusefat exfat-fuse ntfs-3g bindfs)
fi
# Windows: Debian's MinGW-w64 cross-compilers, Wine to run what they build, and apt's
# source packages (dpkg-source) for the libraries built for Windows.
if [ "$mode" = test ] || [ "$mode" = windows ]; then
    packages+=(gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)
    packages+=(wine wine64 dpkg-dev)
fi
if [ "$mode" = windows ]; then
    packages+=(nsis qt6-base-dev-tools perl xvfb xauth)
fi
# Building the .deb as the archive does, and judging it.
if [ "$mode" = test ] || [ "$mode" = package ]; then
    packages+=(build-essential debhelper fakeroot dpkg-dev lintian appstream man-db groff-base)
    packages+=(file desktop-file-utils shared-mime-info)
    # What file managers ask for the default application: xdg-mime and GLib's gio.
    packages+=(xdg-utils libglib2.0-bin)
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

run_tests() {
    echo "== テストを実行します"
    ctest --preset normal -j "$(nproc)"
}

# The desktop entry, the menu icon and the AppStream metadata share this id.
app_id=io.github.rukanoba3.Rukanoba3

# The Maintainer of the Debian package: "DEBFULLNAME <DEBEMAIL>" when both are set, otherwise
# the project's placeholder address from debian/control.
maintainer_from_environment() {
    if [ -n "${DEBFULLNAME:-}" ] && [ -n "${DEBEMAIL:-}" ]; then
        echo "$DEBFULLNAME <$DEBEMAIL>"
    elif [ -n "${DEBFULLNAME:-}${DEBEMAIL:-}" ]; then
        echo "パッケージの保守者には DEBFULLNAME と DEBEMAIL の両方を設定してください。" >&2
        return 1
    fi
}

# Copies the source (the files git knows, committed or not) to build/debian-src, so that
# dpkg-buildpackage leaves the .deb and its companions in build/ rather than beside the checkout.
copy_source_for_package() {
    local source=$1
    rm -rf "$source"
    mkdir -p "$source"
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files -z --cached --others --exclude-standard |
            xargs -0 -r sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh |
            tar --null -T - -cf - | tar -xf - -C "$source"
    else
        tar --exclude='./build*' --exclude=./.git -cf - . | tar -xf - -C "$source"
    fi
    local maintainer
    maintainer=$(maintainer_from_environment) || return 1
    if [ -n "$maintainer" ]; then
        sed -i "s|^Maintainer: .*|Maintainer: $maintainer|" "$source/debian/control"
        sed -i "s|^ -- .* <[^>]*>  | -- $maintainer  |" "$source/debian/changelog"
    fi
}

# The fare tables the window converts. Editors and spreadsheets own them; the package offers
# the window for them under "Open with" and is the default application for .hy3 files only.
table_types=(
    text/plain
    text/csv
    application/vnd.openxmlformats-officedocument.spreadsheetml.sheet
    application/vnd.oasis.opendocument.spreadsheet
)

# Installs the unpacked package's desktop entries and MIME type (under $1/usr) into a throwaway
# desktop that has a stand-in text editor ($2) and spreadsheet ($3), and asks xdg-mime and GLib
# (what a file manager asks on a double-click) for the default application of each type before
# and after. The package must leave the tables' defaults as they were, still be offered for
# them (mimeinfo.cache, GLib's list for "Open with"), and be the default for .hy3 files.
check_file_associations() {
    local unpacked=$1 editor=$2 spreadsheet=$3
    local desktop
    desktop=$(mktemp -d)
    mkdir -p "$desktop"/{home,config,data/applications,data/mime/packages,system}
    ln -s /usr/share/mime "$desktop/system/mime"
    local applications=$desktop/data/applications
    printf '[Desktop Entry]\nType=Application\nName=Editor\nExec=true %%F\nMimeType=%s;\n' \
        text/plain >"$applications/$editor"
    printf '[Desktop Entry]\nType=Application\nName=Spreadsheet\nExec=true %%F\nMimeType=%s;\n' \
        "$(IFS=';' && echo "${table_types[*]:1}")" >"$applications/$spreadsheet"

    # Runs a command as a session of that desktop alone would (GLib needs the programs on PATH).
    in_desktop() {
        env -i HOME="$desktop/home" LC_ALL=C.UTF-8 PATH="$unpacked/usr/bin:/usr/bin:/bin" \
            XDG_CONFIG_HOME="$desktop/config" XDG_CONFIG_DIRS="$desktop/config" \
            XDG_DATA_HOME="$desktop/home" XDG_DATA_DIRS="$desktop/data:$desktop/system" \
            GIO_USE_VFS=local GSETTINGS_BACKEND=memory "$@" </dev/null 2>/dev/null
    }
    # "xdg-mime's answer|GLib's answer"
    default_for() {
        echo "$(in_desktop xdg-mime query default "$1")|$(in_desktop gio mime "$1" |
            sed -n 's/^Default application for “[^”]*”: //p')"
    }

    local problems=0 type owner
    declare -A before
    update-desktop-database "$applications"
    for type in "${table_types[@]}" application/x-hy3; do
        before[$type]=$(default_for "$type")
    done
    for type in "${table_types[@]}"; do
        owner=$spreadsheet
        [ "$type" != text/plain ] || owner=$editor
        [ "${before[$type]}" = "$owner|$owner" ] ||
            { echo "試しのデスクトップで $type の既定が ${before[$type]} です（$owner のはず）" >&2; problems=1; }
    done

    cp "$unpacked"/usr/share/applications/*.desktop "$applications/"
    cp "$unpacked"/usr/share/mime/packages/* "$desktop/data/mime/packages/"
    update-desktop-database "$applications"
    XDG_DATA_DIRS="$desktop/data" update-mime-database "$desktop/data/mime"
    local ours after handlers
    ours=$(cd "$unpacked/usr/share/applications" && ls -- *.desktop)
    for type in "${table_types[@]}"; do
        after=$(default_for "$type")
        [ "$after" = "${before[$type]}" ] ||
            { echo "$type の既定のアプリケーションが変わります（xdg-mime|gio）: ${before[$type]} → $after" >&2; problems=1; }
        handlers=$(grep "^$type=" "$applications/mimeinfo.cache" | cut -d= -f2 | tr ';' '\n')
        grep -qxF "$ours" <<<"$handlers" ||
            { echo "mimeinfo.cache の $type にパッケージのデスクトップエントリがありません" >&2; problems=1; }
        # GLib's registered and recommended applications: the file manager's "Open with".
        in_desktop gio mime "$type" | tr -d '\t' | grep -qxF "$ours" ||
            { echo "gio mime $type がパッケージのデスクトップエントリを挙げません" >&2; problems=1; }
    done
    after=$(default_for application/x-hy3)
    [ "${before[application/x-hy3]}|$after" = "||$app_id.desktop|$app_id.desktop" ] ||
        { echo ".hy3 の既定のアプリケーションが $app_id.desktop になりません: ${before[application/x-hy3]} → $after" >&2; problems=1; }
    rm -rf "$desktop"
    return "$problems"
}

# Builds the .deb the way the archive does (dpkg-buildpackage with debhelper and the hardening
# flags), has lintian judge it, and checks that it installs like a desktop application: the
# programs, the menu entry, the icons, the manual pages, the AppStream metadata and the MIME
# type, with the libraries and fonts it needs.
check_debian_package() {
    echo "== Debian パッケージを dpkg-buildpackage で作って中身を確かめます"
    local source=build/debian-src
    rm -f build/rukanoba3_*
    copy_source_for_package "$source"
    if ! (cd "$source" && DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:-parallel=$(nproc)}" \
        dpkg-buildpackage -us -uc -b) >build/debian-build.log 2>&1; then
        tail -n 30 build/debian-build.log >&2
        echo "パッケージを作れませんでした（全体は build/debian-build.log）" >&2
        return 1
    fi
    local deb changes
    deb=$(ls build/rukanoba3_*.deb)
    changes=$(ls build/rukanoba3_*.changes)
    echo "-- lintian $changes"
    lintian -I --fail-on error,warning "$changes" ||
        { echo "lintian がエラーか警告を出しました（上記）" >&2; return 1; }

    local files
    files=$(dpkg-deb -c "$deb" | awk '{ sub(/^\./, "", $6); print $6 }')
    local expected=(
        /usr/bin/hy3conv
        /usr/bin/rukanoba3
        /usr/share/applications/$app_id.desktop
        "/usr/share/applications/zz-$app_id.tables.desktop"
        /usr/share/icons/hicolor/scalable/apps/$app_id.svg
        /usr/share/metainfo/$app_id.metainfo.xml
        /usr/share/mime/packages/rukanoba3.xml
        /usr/share/man/man1/hy3conv.1.gz
        /usr/share/man/man1/rukanoba3.1.gz
        /usr/share/man/ja/man1/hy3conv.1.gz
        /usr/share/man/ja/man1/rukanoba3.1.gz
        /usr/share/doc/rukanoba3/copyright
        /usr/share/doc/rukanoba3/manual.html
    )
    local sizes=(16 22 24 32 48 64 128 256) size
    for size in "${sizes[@]}"; do
        expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
    done
    local problems=0 path
    for path in "${expected[@]}"; do
        grep -qxF "$path" <<<"$files" || { echo "パッケージに $path がありません" >&2; problems=1; }
    done
    if grep -v -e '^/usr/bin/' -e '^/usr/share/' -e '/$' <<<"$files"; then
        echo "パッケージに余計なファイルがあります（上記）" >&2
        problems=1
    fi
    local depends package
    depends=$(dpkg-deb -f "$deb" Depends)
    for package in qt6-qpa-plugins qt6-translations-l10n fonts-ipafont-gothic libqt6widgets6; do
        grep -qE "(^|, )$package( |,|$)" <<<"$depends" ||
            { echo "Depends に $package がありません: $depends" >&2; problems=1; }
    done
    grep -qx 'xdg-utils' <<<"$(dpkg-deb -f "$deb" Recommends)" ||
        { echo "Recommends に xdg-utils がありません" >&2; problems=1; }

    local unpacked
    unpacked=$(mktemp -d)
    dpkg-deb -x "$deb" "$unpacked"
    local share=$unpacked/usr/share
    local entry
    for entry in "$share"/applications/*.desktop; do
        desktop-file-validate "$entry" || problems=1
    done
    # One menu entry; the entry that offers the window for the fare tables stays out of the menu.
    [ "$(grep -L '^NoDisplay=true$' "$share"/applications/*.desktop)" = "$share/applications/$app_id.desktop" ] ||
        { echo "メニューの項目が $app_id.desktop の一つではありません" >&2; problems=1; }
    grep -qx "Icon=$app_id" "$share/applications/$app_id.desktop" ||
        { echo "デスクトップエントリの Icon= が $app_id ではありません" >&2; problems=1; }
    # The file manager opens .hy3 files with the window program and passes it the files.
    grep -qx "Exec=rukanoba3 %F" "$share/applications/$app_id.desktop" &&
        grep -q "^MimeType=application/x-hy3;" "$share/applications/$app_id.desktop" ||
        { echo "デスクトップエントリが .hy3 ファイルを開きません（Exec=、MimeType=）" >&2; problems=1; }
    # The window names its desktop entry (a UTF-16 string literal in the program) so that docks
    # and Wayland compositors match the window to its menu entry and icon.
    LC_ALL=C grep -qaP "$(sed 's/./&\\x00/g' <<<"$app_id")" "$unpacked/usr/bin/rukanoba3" ||
        { echo "rukanoba3 が $app_id.desktop を名乗っていません" >&2; problems=1; }
    echo "-- 既定のアプリケーション（xdg-mime、gio）"
    local editor_and_spreadsheet
    for editor_and_spreadsheet in "l3afpad.desktop libreoffice-calc.desktop" \
        "vim.desktop org.gnome.Gnumeric.desktop"; do
        # shellcheck disable=SC2086 # the two names
        check_file_associations "$unpacked" $editor_and_spreadsheet || problems=1
    done
    echo "-- appstreamcli validate"
    appstreamcli validate --no-net "$share/metainfo/$app_id.metainfo.xml" || problems=1
    XDG_DATA_DIRS="$share" update-mime-database "$share/mime" ||
        { echo "MIME 型の定義が読めません" >&2; problems=1; }
    grep -qx 'application/x-hy3' <(cut -d: -f1 "$share/mime/globs") ||
        { echo "*.hy3 の MIME 型が登録されません" >&2; problems=1; }
    for size in "${sizes[@]}"; do
        file "$share/icons/hicolor/${size}x${size}/apps/$app_id.png" |
            grep -q "PNG image data, $size x $size," ||
            { echo "${size}×${size} のアイコンの大きさが違います" >&2; problems=1; }
    done
    # The window's own icon, compiled into the program, keeps the sixteen colours.
    file packaging/icons/rukanoba3.png | grep -q '32 x 32, 8-bit colormap' ||
        { echo "ウィンドウのアイコンが 32×32 のパレット画像ではありません" >&2; problems=1; }
    local page
    for page in "$share"/man/man1/*.1.gz "$share"/man/ja/man1/*.1.gz; do
        if LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null |
            grep .; then
            echo "マニュアルページ $page に警告があります（上記）" >&2
            problems=1
        fi
    done
    rm -rf "$unpacked"
    if [ "$problems" -ne 0 ]; then
        echo "Debian パッケージに問題があります: $deb" >&2
        return 1
    fi
    echo "$deb: ファイル ${#expected[@]} 個、依存関係、lintian、AppStream を確かめました"
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

fuzz_targets=(parse_fare_line convert_fare_table read_fare_data_file read_workbook)

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
if [ "$mode" = windows ]; then
    exec packaging/windows/build-windows.sh
fi
if [ "$mode" = package ]; then
    mkdir -p build
    check_debian_package
    exit
fi
build
if [ "$mode" = run ]; then
    run_program
else
    run_tests
    check_debian_package
    run_sanitized_tests
    packaging/windows/test-core.sh build/src/programs/hy3conv
    run_fuzzers
fi
