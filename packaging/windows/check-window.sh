#!/usr/bin/env bash
# check-window.sh STAGE
# Opens the staged rukanoba3.exe with a table named 運賃.csv under Wine on the current
# display, as a double-click in Explorer would, and checks that the main window comes up and
# stays up with nothing but what the stage holds (no path to the built Qt, as on a PC that has
# only the download); a picture of the screen is left in STAGE/../rukanoba3-wine.png where ImageMagick
# can take one.
set -euo pipefail
stage=$(realpath "$1")
work=$(mktemp -d)
trap 'kill $window 2>/dev/null || true; rm -rf "$work"' EXIT
printf '本町,1,140\r\n駅前,2,150,160\r\n' | iconv -f UTF-8 -t CP932 >"$work/運賃.csv"
WINEPATH= wine "$stage/rukanoba3.exe" "$(winepath -w "$work/運賃.csv")" >/dev/null 2>&1 &
window=$!
for _ in $(seq 60); do
    xwininfo -root -tree 2>/dev/null | grep -qi '"rukanoba3.exe"' && break
    sleep 1
done
sleep 3
if ! kill -0 "$window" 2>/dev/null || ! xwininfo -root -tree | grep -qi '"rukanoba3.exe"'; then
    echo "rukanoba3.exe のウィンドウが開きませんでした" >&2
    exit 1
fi
if command -v import >/dev/null; then
    import -window root "$stage/../rukanoba3-wine.png" 2>/dev/null || true
fi
echo "rukanoba3.exe 運賃.csv: ウィンドウが開きました"
