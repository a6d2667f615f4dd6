#!/usr/bin/env python3
"""Packs the menu icons (../icons/hicolor/*/) into rukanoba3.ico, the icon of the Windows
program, its shortcut, its .hy3 files and its installer.

Every image is stored as the PNG it is (Windows reads PNG images inside an .ico since
Vista), so this needs nothing beyond Python. The .ico is kept in the source tree; run this
again after rendering the PNGs anew.
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
HICOLOR = os.path.join(HERE, "..", "icons", "hicolor")
NAME = "io.github.rukanoba3.Rukanoba3.png"
# The sizes Windows asks for, from the list, the title bar and the taskbar to the large tiles.
SIZES = (16, 24, 32, 48, 64, 128, 256)


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise ValueError("not a PNG")
    return struct.unpack(">II", data[16:24])


def main():
    images = []
    for size in SIZES:
        with open(os.path.join(HICOLOR, f"{size}x{size}", NAME), "rb") as f:
            data = f.read()
        if png_size(data) != (size, size):
            raise ValueError(f"{size}x{size}/{NAME} is {png_size(data)}")
        images.append((size, data))

    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, blobs = b"", b""
    for size, data in images:
        # A width or height of 256 is written as 0; 32 bits per pixel, one plane.
        side = size % 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        blobs += data
        offset += len(data)
    with open(os.path.join(HERE, "rukanoba3.ico"), "wb") as f:
        f.write(header + entries + blobs)


if __name__ == "__main__":
    main()
