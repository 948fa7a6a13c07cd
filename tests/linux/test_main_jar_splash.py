"""The main JAR's splash against each runtime's own readers. Every JAR here
is refused by java.util.zip, java.util.jar or java -jar's own reader, or
taken where a simpler reader would not; with Class Path=case.jar:good.jar and
no Main Class the launcher must run what the runtime runs and show a splash
exactly when java -jar shows one: as java -jar case.jar ("java"), as
java -jar good.jar when the runtime refuses case.jar ("next"), or no splash
at all when only java -jar's own reader refuses it ("none")."""
import os
import shutil
import struct
import subprocess
import zlib

import pytest

from linux_rig import RUNTIMES, settings_text

SHOWS = ('public class Shows { public static void main(String[] a) { java.awt.SplashScreen s ='
         ' java.awt.SplashScreen.getSplashScreen(); System.out.println(s == null ? "no splash" : s.getImageURL()); } }')
MANIFEST = b'Manifest-Version: 1.0\r\nMain-Class: Shows\r\nSplashScreen-Image: s.png\r\n\r\n'
HEAD, REST = MANIFEST[:23], MANIFEST[23:]
PNG = (b'\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0\x90wS\xde\0\0\0\x0cIDATx\x9cc\xf8\xcf\xc0'
       b'\0\0\x03\x01\x01\0\xc9\xfe\x92\xef\0\0\0\0IEND\xaeB`\x82')


def zip_of(entries, stub=b'', count=None):
    """(name, bytes as stored, flags, method, bytes inflated) entries, as this test means them."""
    files, directory = b'', b''
    for name, data, flags, method, text in entries:
        fields = struct.pack('<HHHHHIIIHH', 20, flags, method, 0, 0, zlib.crc32(text), len(data), len(text),
                             len(name), 0)
        directory += b'PK\1\2\24\0' + fields + struct.pack('<HHHII', 0, 0, 0, 0, len(files)) + name.encode()
        files += b'PK\3\4' + fields + name.encode() + data
    count = len(entries) if count is None else count
    return stub + files + directory + b'PK\5\6' + struct.pack('<HHHHIIH', 0, 0, count, count, len(directory),
                                                             len(files), 0)


def jar(shows, manifest=MANIFEST, flags=0, **options):
    return zip_of([('META-INF/MANIFEST.MF', manifest, 0, 0, manifest), ('Shows.class', shows, flags, 0, shows),
                   ('s.png', PNG, 0, 0, PNG)], **options)


# MANIFEST deflated in one block whose literal/length code gives each of its byte values and the end code 7 bits,
# leaving most of the 128 codes unused, which zlib refuses.
INCOMPLETE_CODES = bytes.fromhex(
    '05e0010401000000000090000004800d1020882001a8cf77020000000000000000000000000000000084c2d2c8043c8b0dc6e0992c329d'
    '0607c1205020008525d3c0080a96c58283d0243a870504a019142c8b84c631f1781a1849c512f170100bc2a011810020800b')


CASES = {
    'Main-Class on a last line without its end': ('next', lambda c: jar(c, HEAD + b'SplashScreen-Image: s.png\r\n'
                                                                             b'Main-Class: Shows')),
    'a header name with a blank': ('next', lambda c: jar(c, HEAD + b'Bad Name: x\r\n' + REST)),
    'a line over 511 bytes': ('next', lambda c: jar(c, HEAD + b'X-Long: ' + b'a' * 600 + b'\r\n' + REST)),
    'a continuation before the first header': ('next', lambda c: jar(c, b' x\r\n' + MANIFEST)),
    'an entry marked encrypted': ('next', lambda c: jar(c, flags=1)),
    'more entries counted than there are': ('next', lambda c: jar(c, count=9)),
    'incomplete codes': ('next', lambda c: zip_of([('META-INF/MANIFEST.MF', INCOMPLETE_CODES, 0, 8, MANIFEST),
                                                   ('Shows.class', c, 0, 0, c), ('s.png', PNG, 0, 0, PNG)])),
    'a manifest over 1 MiB': ('java', lambda c: jar(c, MANIFEST + b'Name: Shows.class\r\nX-A: b\r\n\r\n' * 40000)),
    'a stub before it': ('java', lambda c: jar(c, stub=b'#!/bin/sh\nexec java -jar "$0" "$@"\n')),
    'the image on a last line without its end': ('java', lambda c: jar(c, MANIFEST[:-4])),
    'a NUL before the image': ('java', lambda c: jar(c, HEAD + b'X-A: \0\r\n' + REST)),
    'bytes after the end record': ('none', lambda c: jar(c) + b'padding'),
}


@pytest.fixture(scope='module')
def shows(tmp_path_factory):
    compilers = [r for r in RUNTIMES if (r.home / 'bin' / 'javac').exists()]
    if not compilers:
        pytest.skip('no JDK with javac under /usr/lib/jvm')
    root = tmp_path_factory.mktemp('shows')
    (root / 'Shows.java').write_text(SHOWS)
    subprocess.run([str(compilers[0].home / 'bin' / 'javac'), '--release', str(RUNTIMES[0].feature), '-d', str(root),
                    str(root / 'Shows.java')], check=True)
    return (root / 'Shows.class').read_bytes()


def run(command, display, **environment):
    return subprocess.run(command, capture_output=True, text=True, timeout=120,
                          env={'PATH': os.environ.get('PATH', '/usr/bin:/bin'), 'LC_ALL': 'C.UTF-8',
                               'DISPLAY': display, **environment})


@pytest.mark.parametrize('case', CASES)
def test_the_splash_is_java_jars_and_the_jar_the_runtimes(case, shows, runtime, launcher_binary, xvfb_display,
                                                          tmp_path):
    kind, build = CASES[case]
    (tmp_path / 'case.jar').write_bytes(build(shows))
    (tmp_path / 'good.jar').write_bytes(jar(shows))
    java = str(runtime.home / 'bin' / 'java')
    through_java = run([java, '-jar', str(tmp_path / ('good.jar' if kind == 'next' else 'case.jar'))], xvfb_display)
    shutil.copy2(launcher_binary, tmp_path / 'app')
    (tmp_path / 'app.ini').write_text(settings_text(f'{tmp_path}/case.jar:{tmp_path}/good.jar', main_class='',
                                                    minimum=runtime.version, maximum=runtime.version))
    through_launcher = run([str(tmp_path / 'app')], xvfb_display, JAVA_LAUNCHER_TRACE=str(tmp_path / 'trace'))
    if kind == 'none':
        assert through_java.returncode == 1 and 'Invalid or corrupt jarfile' in through_java.stderr
        assert through_launcher.stdout == 'no splash\n', through_launcher.stderr
    else:
        assert through_java.returncode == 0, through_java.stderr
        assert through_launcher.stdout == through_java.stdout, (tmp_path / 'trace').read_text()
    if kind == 'next':
        refused = run([java, '-jar', str(tmp_path / 'case.jar')], xvfb_display)
        assert refused.returncode == 1 and refused.stdout == ''
