#!/usr/bin/env bash
# fetch-sources.sh WORKDIR PACKAGE[=VERSION]...
# Downloads Debian source packages through apt and unpacks each into WORKDIR/PACKAGE;
# WORKDIR/sources-used names the versions. The
# deb-src list lives in WORKDIR only: the machine's own apt sources stay as they are.
set -euo pipefail
work=$1
shift
apt_dir=$work/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list 2>/dev/null >"$apt_dir/sources.list" || true
for list in /etc/apt/sources.list.d/*.sources; do
    [ -f "$list" ] && sed 's/^Types: deb$/Types: deb-src/' "$list" >"$apt_dir/$(basename "$list")"
done
apt_options=(
    -o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir"
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
    -o Debug::NoLocking=1
)
apt-get "${apt_options[@]}" update -qq >&2
# A mirror may lack the newest version's source (security updates): the next one serves.
for wanted in "$@"; do
    package=${wanted%%=*}
    if [ "$package" = "$wanted" ]; then
        mapfile -t versions < <(apt-cache "${apt_options[@]}" showsrc "$package" |
            sed -n 's/^Version: //p' | sort -u | sort -rV)
    else
        versions=("${wanted#*=}")
    fi
    fetched=
    for version in "${versions[@]}"; do
        rm -rf "$work/download-$package"
        mkdir -p "$work/download-$package"
        if (cd "$work/download-$package" &&
            apt-get "${apt_options[@]}" source --download-only "$package=$version" >&2); then
            (cd "$work/download-$package" && dpkg-source -x ./*.dsc "$work/$package" >&2)
            fetched=$version
            break
        fi
    done
    rm -rf "$work/download-$package"
    if [ -z "$fetched" ]; then
        echo "fetch-sources.sh: no source of $package could be downloaded" >&2
        exit 1
    fi
    echo "$package $fetched" >>"$work/sources-used"
done
rm -rf "$apt_dir"
