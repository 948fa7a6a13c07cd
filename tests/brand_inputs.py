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


def shared_ico(count, image):
    """An .ico file whose count entries all name one image."""
    out = struct.pack('<HHH', 0, 1, count)
    for _ in range(count):
        out += struct.pack('<BBBBHHII', 16, 16, 0, 0, 1, 32, len(image), 6 + 16 * count)
    return out + image


def version_block(key, value=b'', children=(), text=False):
    """One block of a version record, its children aligned to 4 bytes."""
    head = struct.pack('<HHH', 0, len(value) // 2 if text else len(value), int(text)) + key.encode('utf-16-le') + b'\0\0'
    body = head + b'\0' * (-len(head) % 4) + value
    for child in children:
        body += b'\0' * (-len(body) % 4) + child
    return struct.pack('<H', len(body)) + body[2:]


def version_record(tables):
    """VS_VERSION_INFO with a fixed part and string tables (name, [(key, text)])."""
    fixed = struct.pack('<13I', 0xFEEF04BD, 0x10000, 0, 0, 0, 0, 0x3F, 0, 0x40004, 1, 0, 0, 0)
    strings = [version_block(name, children=[version_block(k, (t + '\0').encode('utf-16-le'), text=True)
                                             for k, t in texts], text=True) for name, texts in tables]
    return version_block('VS_VERSION_INFO', fixed, [version_block('StringFileInfo', children=strings, text=True)])


def _table(entries):
    return struct.pack('<IIHHHH', 0, 0, 0, 0, 0, len(entries)) + b''.join(struct.pack('<II', *e) for e in entries)


def resource_section(rva, resources):
    """A resource section mapped at rva holding (type, name, language, data),
    numbered and each once, laid out as resource compilers lay it out."""
    types = sorted({r[0] for r in resources})
    by_type = {t: sorted(r for r in resources if r[0] == t) for t in types}
    root_size = 16 + 8 * len(types)
    tables, entries, data = b'', b'', b''
    places = []  # where each type's names table goes
    offset = root_size
    for t in types:
        places.append(offset)
        offset += 16 + 8 * len(by_type[t]) + 24 * len(by_type[t])
    entries_at = offset
    data_at = entries_at + 16 * len(resources)
    index = 0
    for t, place in zip(types, places):
        names = by_type[t]
        tables += _table([(name, 0x80000000 | (place + 16 + 8 * len(names) + 24 * i))
                          for i, (_, name, _, _) in enumerate(names)])
        for _, name, language, blob in names:
            tables += _table([(language, entries_at + 16 * index)])
            data += b'\0' * (-(data_at + len(data)) % 8)
            entries += struct.pack('<IIII', rva + data_at + len(data), len(blob), 0, 0)
            data += blob
            index += 1
    root = _table([(t, 0x80000000 | p) for t, p in zip(types, places)])
    return root + tables + entries + data


def shared_resource_section(rva, references, blob, share_tables=True):
    """A section whose references type entries (types 1000 on, which the tool
    leaves as they are) all reach one resource of
    blob: through one shared names table, or each through tables of its own
    that all name one shared data entry."""
    root_size = 16 + 8 * references
    if share_tables:
        names_at = root_size
        root = _table([(1000 + i, 0x80000000 | names_at) for i in range(references)])
        entry_at = names_at + 48
        rest = _table([(1, 0x80000000 | (names_at + 24))]) + _table([(0x409, entry_at)])
    else:
        root = _table([(1000 + i, 0x80000000 | (root_size + 48 * i)) for i in range(references)])
        entry_at = root_size + 48 * references
        rest = b''.join(_table([(1, 0x80000000 | (root_size + 48 * i + 24))]) + _table([(0x409, entry_at)])
                        for i in range(references))
    return root + rest + struct.pack('<IIII', rva + entry_at + 16, len(blob), 0, 0) + blob
