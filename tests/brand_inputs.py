"""Icon files for the branding tool's tests, made here with the standard
library: PNG images of any size and .ico files of bitmap and PNG images."""
import struct
import zlib


def png_chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))


def png_image(width, height=None, colour=(0x20, 0x8C, 0xF0, 0xFF)):
    """A whole PNG file: one colour, 8-bit RGBA, each row unfiltered."""
    height = height or width
    rows = b''.join(b'\0' + bytes(colour) * width for _ in range(height))
    return (b'\x89PNG\r\n\x1a\n' +
            png_chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)) +
            png_chunk(b'IDAT', zlib.compress(rows)) + png_chunk(b'IEND', b''))


def bitmap_image(size, colour=(0xF0, 0x8C, 0x20, 0xFF)):
    """An .ico bitmap image: 32-bit colour rows, then the (empty) mask, bottom up."""
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    mask_row = ((size + 31) // 32) * 4
    return header + bytes(colour) * size * size + b'\0' * mask_row * size


def ico_file(images):
    """images: (width, height, bits per pixel, image bytes) for each entry."""
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, height, bits, data in images:
        out += struct.pack('<BBBBHHII', width % 256, height % 256, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b''.join(data for _, _, _, data in images)


def mixed_ico():
    """Bitmaps of 16, 32 and 48 pixels and a 256-pixel PNG, as icon editors write them."""
    return ico_file([(size, size, 32, bitmap_image(size)) for size in (16, 32, 48)] +
                    [(256, 256, 32, png_image(256))])
