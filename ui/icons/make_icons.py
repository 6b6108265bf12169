#!/usr/bin/env python3
"""Draws the launcher's icons and writes them as Windows .ico files.

    make_icons.py OUTPUT_DIR

Writes setup.ico (icon 1: the program, a carton with a compact disc), medium.ico (icon 104:
a computer with a compact disc) and working.ico (icon 106: a window with two gears), each
with images of 16, 32 and 48 pixels in 16 colours (the standard VGA palette) and in 256
colours. Every picture is drawn here from simple shapes; nothing else is read. Only the
standard library is used, so the build needs nothing but Python 3.
"""
import math
import os
import struct
import sys

SIZES = (16, 32, 48)
SAMPLES = 4  # per axis, for anti-aliased edges

# --- Colours -------------------------------------------------------------------------------

VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def palette256():
    colours = list(VGA16)
    for r in range(6):
        for g in range(6):
            for b in range(6):
                colours.append((r * 51, g * 51, b * 51))
    for i in range(256 - len(colours)):  # greys between the cube's steps
        v = 8 + i * 10
        colours.append((v, v, v))
    return colours[:256]


PALETTE256 = palette256()

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
SILVER = (200, 200, 200)
GREY = (128, 128, 128)
DARK = (64, 64, 64)
NAVY = (0, 0, 128)
BLUE = (16, 64, 224)
SKY = (96, 160, 255)
TEAL = (0, 128, 128)
YELLOW = (255, 224, 0)
ORANGE = (240, 144, 0)
CARTON = (208, 160, 96)
CARTON_DARK = (160, 112, 48)
GREEN = (0, 160, 0)

# --- Shapes: coverage tests in a 0..1 square (x to the right, y downwards) ---------------


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def ring(cx, cy, r_out, r_in):
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        return r_in <= d <= r_out
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return inside


def gear(cx, cy, r_root, r_tip, hole, teeth, phase=0.0):
    def inside(x, y):
        dx, dy = x - cx, y - cy
        d = math.hypot(dx, dy)
        if d < hole or d > r_tip:
            return False
        if d <= r_root:
            return True
        a = (math.atan2(dy, dx) / (2 * math.pi) * teeth + phase) % 1.0
        return 0.25 <= a <= 0.75  # each tooth fills half of its pitch
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


# --- Pictures: lists of (shape, colour), painted in order -----------------------------
# `p` is one pixel in the 0..1 square, so outlines stay one pixel wide at every size.


def outlined_rect(x0, y0, x1, y1, fill, edge, p):
    return [(rect(x0, y0, x1, y1), edge), (rect(x0 + p, y0 + p, x1 - p, y1 - p), fill)]


def compact_disc(cx, cy, r, p):
    return [
        (ellipse(cx, cy, r, r), DARK),
        (ellipse(cx, cy, r - p, r - p), SILVER),
        (minus(ellipse(cx, cy, r * 0.78, r * 0.78), ellipse(cx, cy, r * 0.45, r * 0.45)),
         (176, 216, 255)),
        (polygon([(cx, cy), (cx + r, cy - r * 0.35), (cx + r * 0.35, cy - r)]), WHITE),
        (ellipse(cx, cy, r * 0.32, r * 0.32), GREY),
        (ellipse(cx, cy, r * 0.14, r * 0.14), None),  # the hole: transparent
    ]


def computer_with_disc(p):
    shapes = []
    shapes += outlined_rect(0.06, 0.06, 0.80, 0.62, SILVER, DARK, p)      # monitor
    shapes += outlined_rect(0.13, 0.13, 0.73, 0.53, BLUE, NAVY, p)         # screen
    shapes.append((rect(0.17, 0.17, 0.45, 0.24), SKY))                     # a glint
    shapes.append((rect(0.36, 0.62, 0.50, 0.70), GREY))                     # neck
    shapes += outlined_rect(0.04, 0.70, 0.84, 0.86, SILVER, DARK, p)      # base unit
    shapes.append((rect(0.10, 0.76, 0.40, 0.80), DARK))                    # disc drive slot
    shapes.append((rect(0.70, 0.75, 0.76, 0.81), GREEN))                   # power light
    shapes += compact_disc(0.72, 0.70, 0.27, p)
    return shapes


def window_with_gears(p):
    shapes = []
    shapes += outlined_rect(0.04, 0.06, 0.86, 0.78, WHITE, DARK, p)       # window
    shapes.append((rect(0.04 + p, 0.06 + p, 0.86 - p, 0.22), NAVY))       # title bar
    shapes.append((rect(0.72, 0.10, 0.81, 0.18), SILVER))                  # close box
    shapes.append((rect(0.10, 0.30, 0.45, 0.34), SILVER))                  # lines of text
    shapes.append((rect(0.10, 0.40, 0.38, 0.44), SILVER))
    big = (0.60, 0.66, 0.20, 0.30, 0.08, 8)
    small = (0.28, 0.74, 0.13, 0.20, 0.05, 6)
    for (cx, cy, root, tip, hole, teeth), fill in ((big, GREY), (small, ORANGE)):
        shapes.append((gear(cx, cy, root + p, tip + p, max(hole - p, 0), teeth), DARK))
        shapes.append((gear(cx, cy, root, tip, hole, teeth), fill))
        shapes.append((ellipse(cx, cy, hole, hole), None))
    return shapes


def carton_with_disc(p):
    shapes = []
    front = polygon([(0.10, 0.45), (0.62, 0.45), (0.62, 0.94), (0.10, 0.94)])
    side = polygon([(0.62, 0.45), (0.90, 0.32), (0.90, 0.80), (0.62, 0.94)])
    shapes.append((polygon([(0.10 - p, 0.45 - p), (0.38, 0.32 - p), (0.90 + p, 0.32 - p),
                            (0.90 + p, 0.80 + p), (0.62, 0.94 + p), (0.10 - p, 0.94 + p)]),
                   CARTON_DARK))
    shapes += compact_disc(0.50, 0.30, 0.26, p)
    shapes.append((front, CARTON))
    shapes.append((side, CARTON_DARK))
    shapes.append((rect(0.30, 0.45, 0.42, 0.94), YELLOW))                  # tape
    shapes.append((polygon([(0.25, 0.62), (0.47, 0.62), (0.36, 0.80)]), GREEN))  # arrow in
    return shapes


PICTURES = {
    "setup.ico": carton_with_disc,
    "medium.ico": computer_with_disc,
    "working.ico": window_with_gears,
}

# --- Rendering -----------------------------------------------------------------------------


def render(picture, size):
    """RGBA pixels (rows top down) of the picture at size x size."""
    shapes = picture(1.0 / size)
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    colour = "empty"
                    for shape, fill in shapes:
                        if shape(x, y):
                            colour = fill
                    if colour not in ("empty", None):
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        a += 1
            if a:
                row.append((r / a, g / a, b / a, a / SAMPLES ** 2))
            else:
                row.append((0, 0, 0, 0.0))
        pixels.append(row)
    return pixels


def nearest(palette, colour):
    best, best_d = 0, None
    for i, c in enumerate(palette):
        d = (c[0] - colour[0]) ** 2 * 3 + (c[1] - colour[1]) ** 2 * 4 + (c[2] - colour[2]) ** 2 * 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def dib(pixels, size, palette, bits):
    """One icon image: BITMAPINFOHEADER, colour table, XOR bitmap, AND mask."""
    xor_stride = ((size * bits + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    cache = {}
    for row in reversed(pixels):  # bottom-up
        indices = []
        bits_row = 0
        for x, (r, g, b, a) in enumerate(row):
            transparent = a < 0.5
            key = (round(r), round(g), round(b))
            if transparent:
                index = 0
            else:
                if key not in cache:
                    cache[key] = nearest(palette, key)
                index = cache[key]
            indices.append(index)
            if transparent:
                bits_row |= 1 << (size - 1 - x)
        line = bytearray()
        if bits == 8:
            line.extend(indices)
        else:
            for i in range(0, size, 2):
                line.append((indices[i] << 4) | (indices[i + 1] if i + 1 < size else 0))
        line.extend(b"\0" * (xor_stride - len(line)))
        xor.extend(line)
        mask.extend(bits_row.to_bytes((size + 7) // 8, "big"))
        mask.extend(b"\0" * (and_stride - (size + 7) // 8))
    colours = 1 << bits
    table = bytearray()
    for i in range(colours):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        table.extend((b, g, r, 0))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, colours, 0)
    return header + bytes(table) + bytes(xor) + bytes(mask)


def write_icon(path, picture):
    images = []
    for size in SIZES:
        pixels = render(picture, size)
        images.append((size, 4, dib(pixels, size, VGA16, 4)))
        images.append((size, 8, dib(pixels, size, PALETTE256, 8)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        colour_count = 16 if bits == 4 else 0
        out.extend(struct.pack("<BBBBHHII", size, size, colour_count, 0, 1, bits, len(data),
                               offset))
        offset += len(data)
    for _, _, data in images:
        out.extend(data)
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(out)
    os.replace(tmp, path)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for name, picture in PICTURES.items():
        write_icon(os.path.join(out_dir, name), picture)


if __name__ == "__main__":
    main()
