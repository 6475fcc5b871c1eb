#!/usr/bin/env python3
"""Draws the pictures of Nimbrel's windows and writes them as 24-bit Windows bitmaps.

- nav_options.bmp, nav_exceptions.bmp, nav_log.bmp, nav_about.bmp: the four 56 x 56
  buttons of the main window's navigation strip (a cog, a shield with a tick, a page
  of lines, an "i"), drawn on the strip's white background;
- about.bmp: the About window's 48 x 48 program picture (the icon's blocked-advert
  sign), on a magenta key colour that the window leaves out when it draws the picture
  (the key is the colour of the bottom-left pixel).

Shapes are sampled 4 x 4 per pixel. Only the standard library is used, and the output
is byte-for-byte repeatable.

Usage: make-pictures.py [OUTPUT_DIR]   (default: res/ of this script's repo)
"""

import math
import struct
import sys
from pathlib import Path

SUBSAMPLES = 4
NAV_SIZE = 56
ABOUT_SIZE = 48

WHITE = (255, 255, 255)
KEY = (255, 0, 255)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def in_polygon(x, y, points):
    inside = False
    for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            inside = not inside
    return inside


def near_segment(x, y, a, b, half_width):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - ax - t * dx, y - ay - t * dy) <= half_width


# Each picture is a function from a point to a colour, or None for the background.

def cog(x, y):
    dx, dy = x - 28, y - 28
    r = math.hypot(dx, dy)
    angle = math.degrees(math.atan2(dy, dx)) % 45
    tooth = abs(angle - 22.5) <= 10
    outer = 23 if tooth else 17.5
    if r > outer:
        return None
    if r <= 7:
        return None
    if r <= 9:
        return (30, 52, 96)
    if r >= outer - 1.6:
        return (30, 52, 96)
    return mix((96, 144, 214), (40, 78, 150), y / NAV_SIZE)


SHIELD = [(10, 7), (28, 3), (46, 7), (46, 26), (42, 38), (35, 46), (28, 52), (21, 46), (14, 38), (10, 26)]


def shield(x, y):
    if not in_polygon(x, y, SHIELD):
        return None
    if near_segment(x, y, (18, 28), (25, 36), 3) or near_segment(x, y, (25, 36), (39, 19), 3):
        return WHITE
    edge = min(math.hypot(x - px, y - py) for px, py in SHIELD)
    base = mix((84, 186, 96), (34, 124, 52), y / NAV_SIZE)
    return mix(base, (20, 80, 30), 0.5) if edge < 1.2 else base


def page(x, y):
    left, top, right, bottom, fold = 12, 5, 44, 51, 9
    if not (left <= x <= right and top <= y <= bottom):
        return None
    if x - (right - fold) > y - top:  # the folded corner is cut away
        return None
    border = (96, 96, 96)
    if x - (right - fold) > y - top - 1.4:
        return border
    if x < left + 1.3 or x > right - 1.3 or y < top + 1.3 or y > bottom - 1.3:
        return border
    if x >= right - fold and y <= top + fold and abs(x - (right - fold)) < 1.3:
        return border
    if x >= right - fold and y <= top + fold and abs(y - (top + fold)) < 1.3:
        return border
    for line_y in (17, 24, 31, 38, 45):
        width = 18 if line_y == 45 else 24
        if abs(y - line_y) <= 1.1 and left + 5 <= x <= left + 5 + width:
            return (60, 104, 196)
    return (255, 251, 226)


def info(x, y):
    dx, dy = x - 28, y - 28
    if math.hypot(dx, dy) > 24:
        return None
    if math.hypot(x - 28, y - 15.5) <= 3.6:
        return WHITE
    if 24.5 <= x <= 31.5 and 22 <= y <= 40:
        return WHITE
    if 21 <= x <= 35 and 39 <= y <= 42.5:
        return WHITE
    if 21 <= x <= 31.5 and 22 <= y <= 25:
        return WHITE
    if math.hypot(dx, dy) > 22.6:
        return (26, 60, 130)
    return mix((80, 140, 226), (34, 76, 164), y / NAV_SIZE)


BLUE_TOP = (58, 125, 222)
BLUE_BOTTOM = (24, 72, 160)
RED = (214, 40, 40)


def blocked_sign(x, y):
    """The program icon's picture: a red "no entry" ring on a blue rounded square."""
    size = ABOUT_SIZE
    margin, radius = size * 0.02, size * 0.22
    lo, hi = margin, size - margin
    if not (lo <= x <= hi and lo <= y <= hi):
        return None
    cx, cy = min(max(x, lo + radius), hi - radius), min(max(y, lo + radius), hi - radius)
    if (x - cx) ** 2 + (y - cy) ** 2 > radius ** 2:
        return None
    dx, dy = x - size / 2, y - size / 2
    distance = math.hypot(dx, dy)
    outer, ring = size * 0.40, size * 0.085
    if distance <= outer:
        if distance >= outer - ring or abs(dx - dy) / math.sqrt(2) <= ring / 2:
            return RED
        return WHITE
    return mix(BLUE_TOP, BLUE_BOTTOM, y / size)


def render_on(shape, size, background):
    """Rows, top first, of RGB tuples; edges blended into the background."""
    step = 1 / SUBSAMPLES
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            total = [0, 0, 0]
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    colour = shape(px + (sx + 0.5) * step, py + (sy + 0.5) * step) or background
                    total = [t + c for t, c in zip(total, colour)]
            row.append(tuple(round(t / SUBSAMPLES ** 2) for t in total))
        rows.append(row)
    return rows


def render_keyed(shape, size, key):
    """Rows of RGB tuples: a pixel less than half covered is the key colour, else the
    average of its covered samples, so no edge is tinted by the key."""
    step = 1 / SUBSAMPLES
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            covered = [c for sy in range(SUBSAMPLES) for sx in range(SUBSAMPLES)
                       if (c := shape(px + (sx + 0.5) * step, py + (sy + 0.5) * step)) is not None]
            if len(covered) * 2 < SUBSAMPLES ** 2:
                row.append(key)
            else:
                row.append(tuple(round(sum(channel) / len(covered)) for channel in zip(*covered)))
        rows.append(row)
    return rows


def bmp_bytes(rows):
    """A bottom-up 24-bit BMP with rows padded to 4 bytes."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


PICTURES = {
    'nav_options.bmp': lambda: render_on(cog, NAV_SIZE, WHITE),
    'nav_exceptions.bmp': lambda: render_on(shield, NAV_SIZE, WHITE),
    'nav_log.bmp': lambda: render_on(page, NAV_SIZE, WHITE),
    'nav_about.bmp': lambda: render_on(info, NAV_SIZE, WHITE),
    'about.bmp': lambda: render_keyed(blocked_sign, ABOUT_SIZE, KEY),
}


def main():
    out_dir = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / 'res'
    out_dir.mkdir(parents=True, exist_ok=True)
    for name, draw in PICTURES.items():
        data = bmp_bytes(draw())
        target = out_dir / name
        if not target.exists() or target.read_bytes() != data:
            target.write_bytes(data)
            print(f'wrote {target}')


if __name__ == '__main__':
    main()
