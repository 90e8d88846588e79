#!/usr/bin/env python3
"""Writes the programs' icon: a blue rounded square with a yellow circle in its middle, the
same picture the Qt windows draw, at 16, 32 and 48 pixels in one .ico file.

    make_icon.py OUTPUT.ico

Each size is drawn from the 32-pixel design scaled to it, every pixel covered by 8 x 8 samples
so the edges are smooth, and stored as a 32-bit image with alpha (plus the 1-bit mask that
older readers of the format need)."""
import struct
import sys

BLUE = (0x2E, 0x5C, 0x8A)
YELLOW = (0xF2, 0xC1, 0x4E)
SIZES = (16, 32, 48)
SAMPLES = 8

# The 32-pixel design: the square from 2 to 30 with corners of radius 6, the circle from 9 to 23.
SQUARE_LOW, SQUARE_HIGH, CORNER = 2.0, 30.0, 6.0
CIRCLE_CENTRE, CIRCLE_RADIUS = 16.0, 7.0


def in_square(x, y):
    if not (SQUARE_LOW <= x <= SQUARE_HIGH and SQUARE_LOW <= y <= SQUARE_HIGH):
        return False
    # Inside the square: only the four corners are cut round.
    cx = min(max(x, SQUARE_LOW + CORNER), SQUARE_HIGH - CORNER)
    cy = min(max(y, SQUARE_LOW + CORNER), SQUARE_HIGH - CORNER)
    return (x - cx) ** 2 + (y - cy) ** 2 <= CORNER**2


def in_circle(x, y):
    return (x - CIRCLE_CENTRE) ** 2 + (y - CIRCLE_CENTRE) ** 2 <= CIRCLE_RADIUS**2


def pixel(size, px, py):
    """The colour of one pixel as (red, green, blue, alpha); alpha is not premultiplied."""
    scale = 32.0 / size
    square = circle = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = (px + (sx + 0.5) / SAMPLES) * scale
            y = (py + (sy + 0.5) / SAMPLES) * scale
            if in_circle(x, y):
                circle += 1
            elif in_square(x, y):
                square += 1
    covered = square + circle
    if covered == 0:
        return (0, 0, 0, 0)
    colour = tuple(round((b * square + c * circle) / covered) for b, c in zip(BLUE, YELLOW))
    return colour + (round(255 * covered / SAMPLES**2),)


def image(size):
    """One icon image: BITMAPINFOHEADER, the colour rows bottom-up in BGRA, the AND mask."""
    rows = [[pixel(size, x, y) for x in range(size)] for y in range(size)]
    colours = bytearray()
    for row in reversed(rows):
        for red, green, blue, alpha in row:
            colours += bytes((blue, green, red, alpha))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, alpha) in enumerate(row):
            if alpha == 0:  # a set bit is a transparent pixel
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(colours) + len(mask), 0, 0, 0, 0)
    return header + colours + mask


def icon_file():
    images = [image(size) for size in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: make_icon.py OUTPUT.ico\n")
        return 2
    with open(sys.argv[1], "wb") as out:
        out.write(icon_file())
    return 0


if __name__ == "__main__":
    sys.exit(main())
