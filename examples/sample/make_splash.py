#!/usr/bin/env python3
"""Draws the sample application's splash bitmap: a 24-bit BMP file of
360 x 200 pixels, a blue gradient with a white "start" triangle and an
orange bar, the launcher icon's design at splash size."""
import struct
import sys

WIDTH, HEIGHT = 360, 200


def colour(x, y):
    """(blue, green, red) of one pixel."""
    # The start triangle: pointing right, left of the middle.
    left, top, bottom, tip = 130, 50, 150, 230
    half = (bottom - top) / 2
    if left <= x and top <= y <= bottom and x <= left + (tip - left) * (1 - abs(y - top - half) / half):
        return (0xFF, 0xFF, 0xFF)
    if 170 <= y <= 178 and 40 <= x <= 320:
        return (0x20, 0x8C, 0xF0)
    shade = y / HEIGHT
    return (int(0xC0 - 0x50 * shade), int(0x60 - 0x28 * shade), int(0x20 - 0x10 * shade))


def bitmap():
    rows = []
    for y in reversed(range(HEIGHT)):   # bottom-up rows
        row = b''.join(bytes(colour(x, y)) for x in range(WIDTH))
        rows.append(row + b'\0' * (-len(row) % 4))
    pixels = b''.join(rows)
    return (b'BM' + struct.pack('<IHHI', 54 + len(pixels), 0, 0, 54)
            + struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
            + pixels)


if __name__ == '__main__':
    with open(sys.argv[1], 'wb') as f:
        f.write(bitmap())
