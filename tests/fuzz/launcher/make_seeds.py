"""Starting inputs for the launcher's fuzz targets, one folder each, as
committed in seeds/: JAR files (stored and deflated entries, a stub before
the archive, a comment after it, a directory entry one byte longer than the
directory), manifests, deflate streams of each block kind, argument files,
option lists, settings files (a value of one quote among them), BMP files
of each header kind and hand-overs (with UTF-16 units and without). Deterministic: the same files each run.
Usage: make_seeds.py [SEEDS_DIR]"""
import os
import struct
import sys
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

MANIFEST = (b'Manifest-Version: 1.0\r\nMain-Class: app.Main\r\n'
            b'SplashScreen-Image: images/splash.bmp\r\nCreated-By: 17 (Debian)\r\n\r\n'
            b'Name: app/Main.class\r\nSHA-256-Digest: 3q2+7w==\r\n\r\n')
CONTINUED = (b'Manifest-Version: 1.0\nMain-Class: app.Ma\n in\nSplashScreen-Image: images/very/long/path/to/the/'
             b'splash/im\n age.bmp\n\n')


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


def deflated(data, level=6, strategy=zlib.Z_DEFAULT_STRATEGY):
    compressor = zlib.compressobj(level, zlib.DEFLATED, -15, 9, strategy)
    return compressor.compress(data) + compressor.flush()


def bitmap(header, width, height, bits, compression=0, colours=0, pixels=b'', offset=None, table=b''):
    """A BMP file: the file header, an information header of `header` bytes, the table, the pixels."""
    if header == 12:
        info = struct.pack('<IHHHH', 12, width, height, 1, bits)
    else:
        info = struct.pack('<IiiHHIIiiII', header, width, height, 1, bits, compression, len(pixels), 2835, 2835,
                           colours, 0)
        info += bytes(header - len(info))
    start = 14 + len(info) + len(table)
    head = b'BM' + struct.pack('<IHHI', start + len(pixels), 0, 0, start if offset is None else offset)
    return head + info + table + pixels


def jar(entries, stub=b'', comment=b''):
    """A ZIP file of (name, data, method) entries, with fixed times, after a stub."""
    import io
    out = io.BytesIO()
    with zipfile.ZipFile(out, 'w') as archive:
        for name, data, method in entries:
            info = zipfile.ZipInfo(name, date_time=(2024, 1, 2, 3, 4, 6))
            info.compress_type = method
            info.create_system = 0
            archive.writestr(info, data)
        archive.comment = comment
    return stub + out.getvalue()


def with_longer_last_name(archive, more):
    """The archive with its last directory entry's name `more` bytes longer: the entry runs past the directory."""
    at = archive.rfind(b'PK\x01\x02')
    length, = struct.unpack_from('<H', archive, at + 28)
    return archive[:at + 28] + struct.pack('<H', length + more) + archive[at + 30:]


def hand_over(directory, arguments):
    """A hand-over of (bytes, UTF-16LE units) texts: the working directory, then each argument."""
    texts = [directory] + arguments
    table = b''.join(struct.pack('<II', len(text), len(units)) for text, units in texts)
    body = b''.join(text + units for text, units in texts)
    total = 16 + len(table) + len(body)
    return b'JLHO' + struct.pack('<III', 1, total, len(arguments)) + table + body


def bitmaps():
    grey = bytes(i for i in range(16) for _ in range(4))
    yield 'core-1bit', bitmap(12, 8, 2, 1, table=b'\0\0\0\xff\xff\xff', pixels=b'\xaa\0\0\0\x55\0\0\0')
    yield 'info-24bit', bitmap(40, 2, 2, 24, pixels=b'\x10\x20\x30\x40\x50\x60\0\0\x70\x80\x90\xa0\xb0\xc0\0\0')
    yield 'info-8bit-top-down', bitmap(40, 4, -2, 8, colours=16, table=grey, pixels=bytes(range(8)))
    yield 'info-rle8', bitmap(40, 4, 2, 8, compression=1, colours=16, table=grey,
                              pixels=b'\x04\x01\x00\x00\x04\x02\x00\x01')
    yield 'info-bitfields', bitmap(40, 2, 1, 16, compression=3, table=struct.pack('<III', 0xF800, 0x7E0, 0x1F),
                                   pixels=b'\x00\xf8\x1f\x00')
    yield 'v5-32bit', bitmap(124, 1, 1, 32, compression=3, pixels=b'\x01\x02\x03\x04', offset=0)


def main(seeds):
    def target(name):
        return os.path.join(seeds, name)

    text = b'row 1: xxxxxxxx\nrow 2: xxxxxxxxxxxxxxxx\n' * 12
    streams = [(b'stored', deflated(b'stored', 0)), (b'fixed codes', deflated(b'fixed codes', 9, zlib.Z_FIXED)),
               (text, deflated(text, 9)), (b'', deflated(b'', 6))]
    for n, (plain, stream) in enumerate(streams):
        for until_full in (0, 1):
            if until_full and not plain:
                continue
            size = len(plain)
            write(target('inflate'), 'stream-%d-%s' % (n, 'full' if until_full else 'end'),
                  bytes([(size << 1 & 0xFF) | until_full, size >> 7]) + stream)
    write(target('inflate'), 'trailing-bytes', bytes([len(b'stored') << 1 | 1, 0]) + deflated(b'stored') + b'PK')

    image = bitmap(40, 2, 2, 24, pixels=bytes(16))
    stored = jar([('META-INF/MANIFEST.MF', MANIFEST, zipfile.ZIP_STORED),
                  ('images/splash.bmp', image, zipfile.ZIP_STORED)])
    write(target('jar_file'), 'stored.jar', stored)
    write(target('jar_file'), 'entry-past-directory.jar', with_longer_last_name(stored, 1))
    write(target('jar_file'), 'deflated.jar', jar([('META-INF/', b'', zipfile.ZIP_STORED),
                                                   ('META-INF/MANIFEST.MF', CONTINUED, zipfile.ZIP_DEFLATED),
                                                   ('images/very/long/path/to/the/splash/image.bmp', image * 4,
                                                    zipfile.ZIP_DEFLATED)]))
    write(target('jar_file'), 'stub-and-comment.jar',
          jar([('meta-inf/manifest.mf', MANIFEST, zipfile.ZIP_DEFLATED), ('images/splash.bmp', image,
                                                                           zipfile.ZIP_STORED)],
              stub=b'#!/bin/sh\nexec java -jar "$0" "$@"\n', comment=b'a comment'))

    write(target('jar_manifest'), 'splash', b'SplashScreen-Image\n' + MANIFEST)
    write(target('jar_manifest'), 'continued', b'main-class\n' + CONTINUED)
    write(target('jar_manifest'), 'cr-and-nul', b'Created-By\n' + MANIFEST.replace(b'\r\n', b'\r')
          + b'X: \0after\r')
    write(target('jar_manifest'), 'long-line', b'Long\nMain-Class: a\r\nLong: ' + b'v' * 497 + b'\r\n continued\r\n')

    options = (b'# options for the application\n-Xmx512m -Dapp.home="/opt/my app"\n'
               b"--add-opens 'java.base/java.lang=ALL-UNNAMED'\r\n"
               b'-Dpath="C:\\\\Program Files\\\\App" -Dtab="a\\tb"  # comment\n'
               b'"-Djoined=first \\\n    second"\f-cp lib/a.jar:lib/b.jar\n\'\'\n')
    write(target('argument_file'), 'c-locale', b'\0\x01\x02' + options)
    # GBK: 0xD5 0x5C is one character, whose second byte is a backslash.
    write(target('argument_file'), 'gbk', b'\x01\x07\x00' + b'"-Dname=\xd5\x5c" \'\xd5\x5c\\n\' -Dx=\xd5\x5c\n')
    write(target('argument_file'), 'utf-8', b'\x02\x33\x12' + '-Dname="Grüße" \'©\' #ü\n'.encode())
    write(target('argument_file'), 'across-pieces',
          b'\0\xff\x0f' + b'-Dfiller=' + b'x' * 4070 + b' "-Dquoted=' + b'y' * 20 + b'" -Dnul=a\0b\n')

    write(target('java_options'), 'module-options',
          b'-p\nmods\n--add-opens\njava.base/java.lang=ALL-UNNAMED\n-cp\nlib/x.jar\n-server\n-splash:s.png\n'
          b'-Xdiag\n-ss1m\n-verify\n@@literal\n@1\0--add-modules x -Xmx1g @2\0-client --class-path=c.jar')
    write(target('java_options'), 'disabled-files', b'-Dx=1\n@1\n@2\0--disable-@files @2\0-noverify\n')
    write(target('java_options'), 'refused', b'-Dx=1\n-jar\napp.jar\n')
    write(target('java_options'), 'missing-value', b'@1\0-Xmx1g --module-path')

    settings = (b'; the launcher\'s settings\r\n[Display]\r\nSplash Screen=splash.bmp\r\n'
                b'[Java Runtime Environment]\r\nVirtual Machine Parameters = "-Xmx256m -Dx=1" \r\n'
                b'Main Class=com.example.app.Main\r\nMinimum Version=17\r\n[Class Path]\r\n'
                b'Class Path=%APPDIR%\\lib\\app.jar\r\n')
    write(target('settings_file'), 'parameters',
          b'Java Runtime Environment\nVirtual Machine Parameters\n' + settings)
    write(target('settings_file'), 'utf-8-mark', b'display\n SPLASH SCREEN\n\xef\xbb\xbf' + settings)
    write(target('settings_file'), 'repeated',
          b'S\nk\n[s]\nk\n[S]\nk=second\n\x1a[ s ]\n K = "quoted" \n[s\0x]\nk=nul\n')
    # One quote alone is a value, not a pair of enclosing ones.
    write(target('settings_file'), 'lone-quote', b's\nk\n[s]\nk = " \n')

    for name, data in bitmaps():
        write(target('bitmap_file'), name + '.bmp', data)

    write(target('handover'), 'bytes', hand_over((b'/home/me', b''), [(b'two words', b''), (b'', b''),
                                                                      (b'docs/report.txt', b'')]))
    write(target('handover'), 'units', hand_over((b'C:\\?', 'C:\\\u0141'.encode('utf-16-le')),
                                                 [(b'caf?', 'caf\u00e9'.encode('utf-16-le')), (b'-nosplash', b'')]))
    write(target('handover'), 'none', hand_over((b'', b''), []))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, 'seeds'))
