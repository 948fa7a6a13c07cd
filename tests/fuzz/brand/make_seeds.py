"""Starting inputs for the branding tool's fuzz targets, one folder each:
the built launchers whole, their resource sections, version records and
manifests, icon files, and hand-made inputs: of the kinds that once broke
the tool, and a version record and a resource section like a launcher's,
so that the targets have a start without built launchers too. Usage: make_seeds.py CORPUS_DIR [LAUNCHER.exe...]"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
from brand_inputs import (bitmap_image, ico_file, mixed_ico, png_image, resource_section,  # noqa: E402
                          version_record)

MANIFESTS = [
    b'<assembly><trustInfo></assembly></trustInfo>',
    b'<assembly><dpiAware></assembly></dpiAware>',
    b'<?xml version="1.0"?>\r\n<assembly xmlns="urn:schemas-microsoft-com:asm.v1">\r\n'
    b'  <trustInfo><security/></trustInfo>\r\n  <application><windowsSettings>\r\n'
    b'    <dpiAware>true</dpiAware>\r\n  </windowsSettings></application>\r\n</assembly>\r\n',
    b'<a:assembly xmlns:a="x"><!-- </a:assembly> --><![CDATA[<x>]]><a:trustInfo/></a:assembly>',
    b' ' * 3000 + b'<assembly>\n' + b'\t' * 3000 + b'<application><windowsSettings/></application></assembly>',
]


def sections(exe):
    pe = struct.unpack_from('<I', exe, 0x3C)[0]
    count, optional_size = struct.unpack_from('<H', exe, pe + 6)[0], struct.unpack_from('<H', exe, pe + 20)[0]
    table = pe + 24 + optional_size
    for i in range(count):
        name, vsize, va, rsize, raw = struct.unpack_from('<8sIIII', exe, table + 40 * i)
        yield name.rstrip(b'\0'), va, exe[raw:raw + rsize]


def resources(section, rva, table=0, depth=0, path=()):
    """(type, name, language) and data of each resource in the section."""
    named, numbered = struct.unpack_from('<HH', section, table + 12)
    for i in range(named + numbered):
        ident, target = struct.unpack_from('<II', section, table + 16 + 8 * i)
        if target & 0x80000000:
            yield from resources(section, rva, target & 0x7FFFFFFF, depth + 1, path + (ident,))
        else:
            data_rva, size = struct.unpack_from('<II', section, target)
            yield path + (ident,), section[data_rva - rva:data_rva - rva + size]


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


def main(corpus, launchers):
    for n, text in enumerate(MANIFESTS):
        for choice in (0x24, 0x3E):  # an execution level; with and without dpi awareness
            write(os.path.join(corpus, 'manifest'), 'hand-%d-%x' % (n, choice), bytes([choice]) + text)
    write(os.path.join(corpus, 'icon'), 'mixed.ico', mixed_ico())
    write(os.path.join(corpus, 'icon'), 'small.png', png_image(16))
    write(os.path.join(corpus, 'icon'), 'bitmap.ico', ico_file([(16, 16, 32, bitmap_image(16))]))
    record = version_record([('040904b0', [('FileDescription', 'Launcher'), ('ProductVersion', '1.0')])])
    write(os.path.join(corpus, 'version_record'), 'hand-made', record)
    section = resource_section(0x6000, [(16, 1, 0x409, record), (24, 1, 0x409, MANIFESTS[2]),
                                        (3, 1, 0x409, bitmap_image(16)),
                                        (14, 1, 0x409, struct.pack('<HHHBBBBHHIH', 0, 1, 1, 16, 16, 0, 0, 1, 32,
                                                                   len(bitmap_image(16)), 1))])
    write(os.path.join(corpus, 'resource_tree'), 'hand-made', struct.pack('<I', 0x6000) + section)
    for n, path in enumerate(launchers):
        with open(path, 'rb') as f:
            exe = f.read()
        write(os.path.join(corpus, 'brand_executable'), 'launcher-%d.exe' % n, exe)
        for name, va, data in sections(exe):
            if name != b'.rsrc':
                continue
            write(os.path.join(corpus, 'resource_tree'), 'rsrc-%d' % n, struct.pack('<I', va) + data)
            for (kind, _, language), resource in resources(data, va):
                if kind == 16:
                    write(os.path.join(corpus, 'version_record'), 'version-%d-%x' % (n, language), resource)
                elif kind == 24:
                    write(os.path.join(corpus, 'manifest'), 'manifest-%d-%x' % (n, language), b'\x3E' + resource)


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2:])
