#!/usr/bin/env python3
"""Draws the program's icon: a fare display board with a red "3" badge.

Writes rukanoba3.png (32 x 32, the sixteen standard colours plus transparency), the
window's own icon compiled into the program. The file is kept in the source tree; run
this again only after changing the drawing. The menu icons are drawn separately, as one
scalable drawing (io.github.rukanoba3.Rukanoba3.svg, rendered by render_icons.sh).
"""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# The sixteen colours of the classic palette.
PALETTE = {
    "black": (0, 0, 0), "maroon": (128, 0, 0), "green": (0, 128, 0), "olive": (128, 128, 0),
    "navy": (0, 0, 128), "purple": (128, 0, 128), "teal": (0, 128, 128),
    "silver": (192, 192, 192), "gray": (128, 128, 128), "red": (255, 0, 0),
    "lime": (0, 255, 0), "yellow": (255, 255, 0), "blue": (0, 0, 255),
    "fuchsia": (255, 0, 255), "aqua": (0, 255, 255), "white": (255, 255, 255),
}

# Three by five digits, drawn a pixel at a time.
DIGITS = {
    "0": ["###", "#.#", "#.#", "#.#", "###"],
    "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["###", "..#", "###", "#..", "###"],
    "3": ["###", "..#", "###", "..#", "###"],
    "4": ["#.#", "#.#", "###", "..#", "..#"],
    "5": ["###", "#..", "###", "..#", "###"],
}

# Shapes in drawing order: ("rect", x, y, w, h, colour) or ("disc", cx, cy, r, colour),
# in pixels of the 32 x 32 grid.
SHAPES = []


def rect(x, y, w, h, colour):
    SHAPES.append(("rect", x, y, w, h, colour))


def disc(cx, cy, r, colour):
    SHAPES.append(("disc", cx, cy, r, colour))


def text(x, y, digits, colour):
    for digit in digits:
        for row, line in enumerate(DIGITS[digit]):
            for column, mark in enumerate(line):
                if mark == "#":
                    rect(x + column, y + row, 1, 1, colour)
        x += 4


# The board: a grey housing with a light top and left edge and a dark outline.
rect(1, 3, 30, 25, "black")
rect(2, 4, 28, 23, "gray")
rect(2, 4, 28, 1, "silver")
rect(2, 4, 1, 23, "silver")
# Its screen: stop numbers in aqua over a rule, fares in yellow below.
rect(4, 6, 24, 17, "black")
text(6, 8, "123", "aqua")
rect(5, 14, 22, 1, "teal")
text(6, 16, "140", "yellow")
# A green lamp below the screen.
rect(5, 24, 2, 1, "lime")
# The badge: version 3 on a red disc with a dark rim.
disc(24.5, 24.5, 6.9, "maroon")
disc(24.5, 24.5, 5.9, "red")
for row, line in enumerate(["####", "...#", ".###", "...#", "####"]):
    for column, mark in enumerate(line):
        if mark == "#":
            rect(23 + column, 22 + row, 1, 1, "white")


def render():
    pixels = [[None] * 32 for _ in range(32)]
    for shape in SHAPES:
        if shape[0] == "rect":
            _, x, y, w, h, colour = shape
            for yy in range(y, y + h):
                for xx in range(x, x + w):
                    pixels[yy][xx] = colour
        else:
            _, cx, cy, r, colour = shape
            for yy in range(32):
                for xx in range(32):
                    if (xx + 0.5 - cx) ** 2 + (yy + 0.5 - cy) ** 2 <= r * r:
                        pixels[yy][xx] = colour
    return pixels


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def write_png(pixels, path):
    names = list(PALETTE)
    # Index 16 is the transparent background.
    palette = b"".join(bytes(PALETTE[n]) for n in names) + bytes((0, 0, 0))
    transparency = bytes([255] * 16 + [0])
    raw = b"".join(
        b"\0" + bytes(16 if p is None else names.index(p) for p in row) for row in pixels)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", 32, 32, 8, 3, 0, 0, 0)))
        out.write(chunk(b"PLTE", palette))
        out.write(chunk(b"tRNS", transparency))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


if __name__ == "__main__":
    write_png(render(), os.path.join(HERE, "rukanoba3.png"))
