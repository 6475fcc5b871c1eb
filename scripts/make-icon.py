#!/usr/bin/env python3
"""Draws Nimbrel's program icon and writes it as a Windows .ico file.

The picture: a red "no entry" ring with a slash (a blocked advertisement) on a
white disc over a blue rounded square. Each size (16, 32, 48) is drawn from the
same shapes with 4x4 supersampling and stored as a 32-bit BGRA image with an
AND mask.
Only the standard library is used, and the output is byte-for-byte repeatable.

Usage: make-icon.py [OUTPUT]   (default: res/nimbrel.ico beside this script's repo)
"""

import math
import struct
import sys
from pathlib import Path

SIZES = (16, 32, 48)
SUBSAMPLES = 4

BLUE_TOP = (58, 125, 222)
BLUE_BOTTOM = (24, 72, 160)
WHITE = (255, 255, 255)
RED = (214, 40, 40)


def in_rounded_square(x, y, size):
    """True inside a square of side `size` (minus a hair) with rounded corners."""
    margin = size * 0.02
    radius = size * 0.22
    lo, hi = margin, size - margin
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def sample(x, y, size):
    """Colour (r, g, b, a) of the picture at point (x, y), a in 0..1."""
    if not in_rounded_square(x, y, size):
        return (0, 0, 0, 0.0)
    centre = size / 2
    dx, dy = x - centre, y - centre
    distance = math.hypot(dx, dy)
    outer = size * 0.40
    ring = size * (0.10 if size <= 16 else 0.085)
    if distance <= outer:
        if distance >= outer - ring:
            return (*RED, 1.0)
        # The slash runs from top left to bottom right.
        if abs(dx - dy) / math.sqrt(2) <= ring / 2:
            return (*RED, 1.0)
        return (*WHITE, 1.0)
    t = y / size
    blue = tuple(round(a + (b - a) * t) for a, b in zip(BLUE_TOP, BLUE_BOTTOM))
    return (*blue, 1.0)


def render(size):
    """Returns rows (top first) of (b, g, r, a) byte tuples."""
    rows = []
    step = 1 / SUBSAMPLES
    for py in range(size):
        row = []
        for px in range(size):
            r_sum = g_sum = b_sum = a_sum = 0.0
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    r, g, b, a = sample(px + (sx + 0.5) * step, py + (sy + 0.5) * step, size)
                    r_sum += r * a
                    g_sum += g * a
                    b_sum += b * a
                    a_sum += a
            if a_sum == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(b_sum / a_sum), round(g_sum / a_sum), round(r_sum / a_sum),
                            round(255 * a_sum / SUBSAMPLES ** 2)))
        rows.append(row)
    return rows


def icon_image(size):
    """One icon image: BITMAPINFOHEADER, BGRA pixels bottom-up, then the AND mask."""
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(channel for pixel in row for channel in pixel) for row in reversed(rows))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + pixels + bytes(mask)


def icon_file(sizes):
    images = [icon_image(size) for size in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def main():
    default = Path(__file__).resolve().parent.parent / "res" / "nimbrel.ico"
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else default
    target.parent.mkdir(parents=True, exist_ok=True)
    target.write_bytes(icon_file(SIZES))
    print(f"wrote {target}")


if __name__ == "__main__":
    main()
