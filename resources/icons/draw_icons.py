#!/usr/bin/env python3
"""Draws the Tevra Comms mark and writes tevra-<size>.png and tevra.ico.

The mark is laid out on a 16-unit grid so that straight edges fall on pixel
boundaries at every size (all sizes are multiples of 16) and stay crisp at
16 px. Output is byte-for-byte reproducible: run it after changing the art
and check in the results beside it.
"""
import os
import struct
import zlib

SIZES = (16, 32, 48, 64, 128, 256)
HERE = os.path.dirname(os.path.abspath(__file__))

TEAL = (13, 148, 136)
INDIGO = (67, 56, 202)
WHITE = (255, 255, 255)


def in_rounded_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x < right and top <= y < bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def in_triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    s1, s2, s3 = side(a, b), side(b, c), side(c, a)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


def in_rect(x, y, left, top, right, bottom):
    return left <= x < right and top <= y < bottom


def badge_colour(x, y):
    """Diagonal teal-to-indigo gradient, lightest at the top left."""
    t = min(max((x + y) / 32.0, 0.0), 1.0)
    return tuple(a + (b - a) * t for a, b in zip(TEAL, INDIGO))


def sample(x, y):
    """Colour of the mark at a point of the 16-unit grid, or None if clear."""
    if not in_rounded_rect(x, y, 0, 0, 16, 16, 3.5):
        return None
    # The "T" is cut out of the bubble so the badge shows through it.
    in_t = in_rect(x, y, 5, 4, 11, 6) or in_rect(x, y, 7, 6, 9, 10)
    in_bubble = in_rounded_rect(x, y, 2, 2, 14, 12, 3) or in_triangle(
        x, y, (3, 10), (7, 11.5), (3, 14.5))
    return WHITE if in_bubble and not in_t else badge_colour(x, y)


def render(size):
    """RGBA rows, each pixel averaged over a grid of samples."""
    n = 8 if size <= 64 else 4
    unit = 16.0 / size
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = g = b = hits = 0
            for sy in range(n):
                for sx in range(n):
                    c = sample((px + (sx + 0.5) / n) * unit,
                               (py + (sy + 0.5) / n) * unit)
                    if c:
                        r, g, b, hits = r + c[0], g + c[1], b + c[2], hits + 1
            if hits:
                row += bytes((round(r / hits), round(g / hits),
                              round(b / hits), round(255 * hits / (n * n))))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico(images):
    """ICO holding PNG-compressed images; a 256 px side is stored as 0."""
    offset = 6 + 16 * len(images)
    head = struct.pack("<HHH", 0, 1, len(images))
    entries = b""
    for size, data in images:
        side = size % 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return head + entries + b"".join(data for _, data in images)


def main():
    images = []
    for size in SIZES:
        data = png(size, render(size))
        with open(os.path.join(HERE, "tevra-%d.png" % size), "wb") as f:
            f.write(data)
        images.append((size, data))
    with open(os.path.join(HERE, "tevra.ico"), "wb") as f:
        f.write(ico(images))


if __name__ == "__main__":
    main()
