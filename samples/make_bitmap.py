#!/usr/bin/env python3
"""Writes the sample medium's background picture: an 8-bit palette BMP (so the launcher's
palette path is used) with a dark-to-light blue gradient and a lighter band."""
import struct
import sys

WIDTH, HEIGHT = 640, 480


def main(path):
    palette = b"".join(struct.pack("<BBBB", 80 + i * 175 // 255, 20 + i // 3, i // 6, 0)
                       for i in range(256))  # blue, green, red, reserved
    row_size = (WIDTH + 3) & ~3
    rows = []
    for y in range(HEIGHT):  # bottom-up
        band = 40 if 300 < y < 340 else 0
        row = bytes(min(255, (x * 200 // WIDTH) + (y * 55 // HEIGHT) + band) for x in range(WIDTH))
        rows.append(row + b"\0" * (row_size - WIDTH))
    pixels = b"".join(rows)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


if __name__ == "__main__":
    main(sys.argv[1])
