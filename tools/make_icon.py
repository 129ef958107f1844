#!/usr/bin/env python3
"""Draws the program's icon (a green book cover with a ruled page split into debit and
credit columns) as PNG files of the hicolor sizes and as SVG, into src/desktop/icon/.
Pure Python, so it runs wherever the build does: python3 tools/make_icon.py"""
import os
import struct
import zlib

SIZES = [16, 24, 32, 48, 64, 128, 256]
COVER = (46, 125, 80)
PAGE = (255, 251, 240)
RULE = (150, 170, 160)
SPLIT = (200, 60, 50)

# Shapes on a 256 by 256 canvas: (kind, colour, x0, y0, x1, y1, radius)
SHAPES = [
    ("round", COVER, 8, 8, 248, 248, 40),
    ("round", PAGE, 40, 36, 216, 220, 12),
    ("rect", SPLIT, 124, 56, 132, 204, 0),
    ("rect", RULE, 56, 74, 200, 80, 0),
] + [("rect", RULE, 56, y, 200, y + 5, 0) for y in (106, 136, 166, 196)]


def inside(shape, x, y):
    kind, _, x0, y0, x1, y1, r = shape
    if not (x0 <= x < x1 and y0 <= y < y1):
        return False
    if kind == "rect" or r == 0:
        return True
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def pixel(size, px, py):
    # 4 x 4 samples per pixel smooth the edges.
    total = [0, 0, 0, 0]
    for sy in range(4):
        for sx in range(4):
            x = (px + (sx + 0.5) / 4) * 256 / size
            y = (py + (sy + 0.5) / 4) * 256 / size
            colour = None
            for shape in SHAPES:
                if inside(shape, x, y):
                    colour = shape[1]
            if colour:
                total[0] += colour[0]
                total[1] += colour[1]
                total[2] += colour[2]
                total[3] += 255
    alpha = total[3] // 16
    if alpha == 0:
        return (0, 0, 0, 0)
    covered = total[3] // 255
    return (total[0] // covered, total[1] // covered, total[2] // covered, alpha)


def png(size):
    rows = b""
    for y in range(size):
        rows += b"\0" + b"".join(bytes(pixel(size, x, y)) for x in range(size))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


def svg():
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">']
    for kind, colour, x0, y0, x1, y1, r in SHAPES:
        parts.append(f'<rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" rx="{r}" '
                     f'fill="rgb{colour}"/>')
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def main():
    folder = os.path.join(os.path.dirname(__file__), "..", "src", "desktop", "icon")
    os.makedirs(folder, exist_ok=True)
    for size in SIZES:
        with open(os.path.join(folder, f"zentabo-{size}.png"), "wb") as out:
            out.write(png(size))
    with open(os.path.join(folder, "zentabo.svg"), "w") as out:
        out.write(svg())


if __name__ == "__main__":
    main()
