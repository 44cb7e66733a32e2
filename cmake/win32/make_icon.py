#!/usr/bin/python3
"""Writes tarnwell.ico: the program's icon at 16, 24, 32, 48 and 256 pixels, drawn here so that no image
tool is needed. Run it again after changing the drawing; the build uses the committed file."""

import struct
import sys


def pixel(size, x, y):
    """RGBA of one pixel: a blue rounded square with a white "T" over three rising bars."""
    u = (x + 0.5) / size
    v = (y + 0.5) / size
    r = 0.18
    cx = min(max(u, r), 1 - r)
    cy = min(max(v, r), 1 - r)
    inside = (u - cx) ** 2 + (v - cy) ** 2 <= r * r
    if not inside:
        return (0, 0, 0, 0)
    # The letter's bar and stem.
    if 0.16 <= v <= 0.30 and 0.14 <= u <= 0.86:
        return (255, 255, 255, 255)
    if 0.30 <= v <= 0.86 and 0.42 <= u <= 0.58:
        return (255, 255, 255, 255)
    # Bars of traffic on either side of the stem.
    for left, top, colour in ((0.16, 0.62, (255, 200, 60)), (0.27, 0.50, (255, 200, 60)),
                              (0.64, 0.56, (120, 230, 140)), (0.75, 0.42, (120, 230, 140))):
        if left <= u <= left + 0.08 and top <= v <= 0.86:
            return colour + (255,)
    shade = int(40 + 60 * (1 - v))
    return (shade // 3, shade + 40, 200, 255)


def image(size):
    """One icon image: a BITMAPINFOHEADER, 32-bit pixels bottom-up, and the AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for y in reversed(range(size)):
        for x in range(size):
            red, green, blue, alpha = pixel(size, x, y)
            pixels += bytes((blue, green, red, alpha))
    row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        bits = bytearray(row)
        for x in range(size):
            if pixel(size, x, y)[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def main(path):
    sizes = (16, 24, 32, 48, 64)
    images = [image(size) for size in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "tarnwell.ico")
