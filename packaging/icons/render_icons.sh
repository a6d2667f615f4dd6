#!/bin/sh
# Renders the menu icon at every size the desktop asks for from the one scalable drawing.
# The PNGs are kept in the source tree; run this again after changing the SVG
# (needs rsvg-convert from librsvg2-bin).
set -eu
cd "$(dirname "$0")"
id=io.github.rukanoba3.Rukanoba3
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p hicolor/${size}x${size}
    rsvg-convert -w "$size" -h "$size" "$id.svg" -o "hicolor/${size}x${size}/$id.png"
done
