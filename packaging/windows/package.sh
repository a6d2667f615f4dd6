#!/usr/bin/env bash
# Makes the two Windows downloads from a staged folder (the programs, Qt's DLLs and plugin
# folders, the translations, manual.html, rukanoba3.ico):
#   OUTDIR/rukanoba3-VERSION-windows-x64.zip   one folder, rukanoba3-VERSION/, to unpack anywhere
#   OUTDIR/rukanoba3-VERSION-setup.exe         the installer (installer.nsi)
# Needs cmake (for the zip) and makensis (Debian's nsis).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ $# -ne 3 ]; then
    echo "使い方: $0 STAGE VERSION OUTDIR" >&2
    exit 2
fi
stage=$(cd "$1" && pwd)
version=$2
mkdir -p "$3"
outdir=$(cd "$3" && pwd)

case "$version" in
    "" | */* | *\\* | *\"* | *\$*)
        echo "バージョン「$version」はファイル名に使えません" >&2
        exit 2
        ;;
esac
for file in rukanoba3.exe hy3conv.exe rukanoba3.ico; do
    [ -f "$stage/$file" ] || { echo "$stage に $file がありません" >&2; exit 1; }
done
for tool in cmake makensis; do
    command -v "$tool" >/dev/null ||
        { echo "$tool が見つかりません（apt-get install $tool で入ります）" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

name=rukanoba3-$version
zip=$outdir/$name-windows-x64.zip
echo "== zip を作ります: $zip" >&2
cp -RL "$stage" "$work/$name"
rm -f "$zip"
(cd "$work" && cmake -E tar cf "$zip" --format=zip "$name")

setup=$outdir/$name-setup.exe
echo "== インストーラーを作ります: $setup" >&2
rm -f "$setup"
if ! makensis -V2 -INPUTCHARSET UTF8 "-DVERSION=$version" "-DSTAGE=$stage" "-DOUTFILE=$setup" \
    "$here/installer.nsi" >"$work/makensis.log" 2>&1; then
    cat "$work/makensis.log" >&2
    echo "インストーラーを作れませんでした（makensis の出力は上記）" >&2
    exit 1
fi

echo "== できました:" >&2
ls -l "$zip" "$setup" >&2
