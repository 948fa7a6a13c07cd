#!/usr/bin/env python3
"""Draws the launcher's icon and writes it as a Windows .ico file.

Three images, 32x32, 24x24 and 16x16 pixels, each a 256-colour (8 bits per
pixel) bitmap with a transparency mask: a blue rounded tile with a white
"start" triangle and an orange steam curl, for "start the Java application".
"""
import struct
import sys

SIZES = (32, 24, 16)

# Palette index: colour (blue, green, red) as .ico palettes store them.
PALETTE = {
    0: (0x00, 0x00, 0x00),   # transparent area (masked)
    1: (0xB0, 0x5A, 0x1E),   # tile blue
    2: (0x70, 0x38, 0x10),   # tile edge, darker blue
    3: (0xFF, 0xFF, 0xFF),   # triangle white
    4: (0x20, 0x8C, 0xF0),   # orange
}


def inside_rounded_tile(x, y, size):
    radius = size / 5.0
    lo, hi = 0.5, size - 0.5
    cx = min(max(x + 0.5, lo + radius), hi - radius)
    cy = min(max(y + 0.5, lo + radius), hi - radius)
    return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius ** 2


def inside_triangle(x, y, size):
    px, py = (x + 0.5) / size, (y + 0.5) / size
    left, top, bottom, tip = 0.34, 0.28, 0.80, 0.76
    if px < left or py < top or py > bottom:
        return False
    half = (bottom - top) / 2
    middle = top + half
    reach = left + (tip - left) * (1 - abs(py - middle) / half)
    return px <= reach


def inside_curl(x, y, size):
    px, py = (x + 0.5) / size, (y + 0.5) / size
    return 0.14 <= py <= 0.22 and 0.55 <= px <= 0.86


def pixel(x, y, size):
    if not inside_rounded_tile(x, y, size):
        return 0
    if inside_triangle(x, y, size):
        return 3
    if inside_curl(x, y, size):
        return 4
    edge = not all(inside_rounded_tile(x + dx, y + dy, size)
                   for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
    return 2 if edge else 1


def image(size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b''.join(struct.pack('<BBBB', *PALETTE.get(i, (0, 0, 0)), 0) for i in range(256))
    row_bytes = (size + 3) & ~3
    mask_row_bytes = ((size + 31) // 32) * 4
    colours, mask = b'', b''
    for y in reversed(range(size)):   # bottom-up rows
        row = bytes(pixel(x, y, size) for x in range(size))
        colours += row + b'\0' * (row_bytes - size)
        mask_row = bytearray(mask_row_bytes)
        for x in range(size):
            if row[x] == 0:
                mask_row[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(mask_row)
    return header + palette + colours + mask


def icon():
    images = [image(size) for size in SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


if __name__ == '__main__':
    with open(sys.argv[1], 'wb') as f:
        f.write(icon())
