#!/usr/bin/env python3
"""Draws the dialog's pictures of the three symbol kinds (bitmaps 101-103) and the program icon.

Run by hand after changing a picture; the build takes the files it writes (kind101.bmp, kind102.bmp,
kind103.bmp, glattmark.ico) as they are. Lines are drawn with 8 x 8 supersampling, so that their edges
come out grey on white.
"""
import math
import struct
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
SAMPLES = 8


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    cx, cy = ax + t * dx, ay + t * dy
    return math.hypot(px - cx, py - cy)


def coverage(size, shapes, width):
    """Fraction of every pixel that the strokes cover; shapes in units of a 24-pixel square."""
    scale = size / 24.0
    half = width * scale / 2.0
    result = []
    for y in range(size):
        row = []
        for x in range(size):
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    px = (x + (sx + 0.5) / SAMPLES) / scale
                    py = (y + (sy + 0.5) / SAMPLES) / scale
                    for shape in shapes:
                        if shape[0] == "line":
                            _, ax, ay, bx, by = shape
                            d = segment_distance(px, py, ax, ay, bx, by)
                        else:
                            _, cx, cy, r = shape
                            d = abs(math.hypot(px - cx, py - cy) - r)
                        if d * scale <= half:
                            hits += 1
                            break
            row.append(hits / (SAMPLES * SAMPLES))
        result.append(row)
    return result


# The surface symbol: a tick with a short left and a long right leg, vertex at the bottom.
VERTEX = (9.0, 19.5)
LEFT_TOP = (4.5, 11.7)
RIGHT_TOP = (20.5, 3.5)
TICK = [("line", *LEFT_TOP, *VERTEX), ("line", *VERTEX, *RIGHT_TOP)]


def right_leg_x(y):
    t = (VERTEX[1] - y) / (VERTEX[1] - RIGHT_TOP[1])
    return VERTEX[0] + t * (RIGHT_TOP[0] - VERTEX[0])


BAR = [("line", LEFT_TOP[0], LEFT_TOP[1], right_leg_x(LEFT_TOP[1]), LEFT_TOP[1])]
CIRCLE = [("circle", 9.3, 13.0, 1.6)]
KINDS = {101: TICK, 102: TICK + BAR, 103: TICK + CIRCLE}


def write_bmp24(path, pixels):
    """pixels: rows top to bottom of (r, g, b)."""
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        body += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    path.write_bytes(header + info + body)


def grey(level):
    value = round(255 * (1.0 - level))
    return (value, value, value)


def icon_rgba(size):
    """The icon: the machined-surface symbol in black on a teal tile with a dark rim."""
    strokes = coverage(size, TICK + BAR, 2.2 if size <= 24 else 1.7)
    margin = max(1, size // 16)
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            inside = margin <= x < size - margin and margin <= y < size - margin
            rim = inside and (x in (margin, size - margin - 1) or y in (margin, size - margin - 1))
            if not inside:
                base, alpha = (0, 0, 0), 0
            elif rim:
                base, alpha = (60, 110, 104), 255
            else:
                base, alpha = (180, 226, 219), 255
            s = strokes[y][x]
            colour = tuple(round(c * (1 - s)) for c in base)
            row.append((*colour, max(alpha, round(255 * s))))
        pixels.append(row)
    return pixels


def icon_bmp_entry(pixels):
    size = len(pixels)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    body = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            body += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    body += b"\0" * (mask_stride * size)  # the alpha channel decides; the AND mask lets everything through
    return info + bytes(body)


def png(pixels):
    size = len(pixels)
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def write_ico(path, sizes):
    images = []
    for size in sizes:
        pixels = icon_rgba(size)
        images.append((size, png(pixels) if size >= 256 else icon_bmp_entry(pixels)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        side = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    path.write_bytes(bytes(out))


def main():
    for kind, shapes in KINDS.items():
        cover = coverage(24, shapes, 1.25)
        write_bmp24(HERE / f"kind{kind}.bmp", [[grey(c) for c in row] for row in cover])
    write_ico(HERE / "glattmark.ico", [16, 24, 32, 48, 256])


if __name__ == "__main__":
    main()
