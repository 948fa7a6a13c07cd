"""The branding tool refuses what it cannot brand: each refusal is one line
on standard error naming the problem, a non-zero exit, no output file and
no temporary file left behind; the input is never changed."""
import os
import random
import shutil
import struct
import subprocess
import sys

import pytest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tests'))
from brand_inputs import bitmap_image, ico_file, png_chunk, png_image  # noqa: E402

BRAND = os.path.join(ROOT, 'dist', 'linux-x86_64', 'brand')
# The same tool built with AddressSanitizer and UndefinedBehaviorSanitizer.
CHECKED_BRAND = os.path.join(ROOT, 'build', 'linux-sanitize', 'dist', 'brand')
LAUNCHER = os.path.join(ROOT, 'dist', 'win64', 'launcher.exe')
FAILED, WRONG_COMMAND_LINE = 1, 2


def launcher_bytes():
    if not os.path.exists(LAUNCHER):
        pytest.fail('%s is missing: build first' % LAUNCHER)
    with open(LAUNCHER, 'rb') as f:
        return f.read()


def run(tool, *arguments):
    return subprocess.run([tool] + [str(a) for a in arguments], capture_output=True, text=True, timeout=60)


def with_directory(data, index, rva, size):
    """The launcher with one data directory entry changed."""
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    offset = pe + 24 + 112 + 8 * index   # PE32+ data directories
    return data[:offset] + struct.pack('<II', rva, size) + data[offset + 8:]


def png_with_width(width):
    image = png_image(16)
    header = struct.pack('>IIBBBBB', width, 16, 8, 6, 0, 0, 0)
    return image[:8] + png_chunk(b'IHDR', header) + image[33:]


def flipped(data, offset):
    return data[:offset] + bytes([data[offset] ^ 0xFF]) + data[offset + 1:]


INPUTS = [
    # case, launcher bytes (from the real one), extra arguments, message
    ('not a PE', lambda l: b'#!/bin/sh\necho hello\n' * 10, [], 'not a Windows executable (no MZ header)'),
    ('no PE signature', lambda l: l[:0x80] + b'XX\0\0' + l[0x84:], [], 'no PE signature'),
    ('cut in the headers', lambda l: l[:300], [], 'cut short'),
    ('cut in the sections', lambda l: l[:len(l) // 2], [], 'cut short: section'),
    ('no resources', lambda l: with_directory(l, 2, 0, 0), [], 'has no resources'),
    ('signed', lambda l: with_directory(l, 4, 0x10000, 0x100), [], 'is signed'),
    ('a section other than relocations after the resources', lambda l: with_directory(l, 5, 0, 0), [],
     'section .reloc follows the resources'),
    ('PNG without signature', None, ['--icon', ('a.png', b'JPEG' + png_image(16)[4:])],
     'a.png: neither an icon file (.ico) nor a PNG image'),
    ('PNG of width 0', None, ['--icon', ('a.png', png_with_width(0))], 'a.png: the PNG image is 0x16 pixels'),
    ('PNG wider than 256', None, ['--icon', ('a.png', png_with_width(512))], 'a.png: the PNG image is 512x16 pixels'),
    ('PNG with a bad CRC', None, ['--icon', ('a.png', flipped(png_image(16), 40))], "a.png: a PNG chunk's CRC"),
    ('PNG cut short', None, ['--icon', ('a.png', png_image(16)[:-20])], 'a.png: the PNG image is cut short'),
    ('ICO cut short', None, ['--icon', ('a.ico', ico_file([(16, 16, 32, png_image(16))])[:-30])],
     'a.ico: the icon file is cut short'),
    ('ICO of a bitmap 0 pixels wide', None, ['--icon', ('a.ico', ico_file([(0, 0, 32, bitmap_image(0))]))],
     'a.ico: image 1 of the icon file is a bitmap of a size an icon cannot have'),
    ('ICO beside a PNG', None,
     ['--icon', ('a.png', png_image(16)), '--icon', ('b.ico', ico_file([(16, 16, 32, png_image(16))]))],
     'b.ico: an icon file (.ico) must be the only --icon'),
    ('missing icon', None, ['--icon', 'nowhere.png'], 'cannot read nowhere.png'),
]


@pytest.mark.parametrize('make, arguments, message', [case[1:] for case in INPUTS], ids=[c[0] for c in INPUTS])
def test_an_input_it_cannot_brand_is_refused(tmp_path, make, arguments, message):
    source = tmp_path / 'in' / 'launcher.exe'
    source.parent.mkdir()
    source.write_bytes(make(launcher_bytes()) if make else launcher_bytes())
    before = source.read_bytes()
    expanded = []
    for argument in arguments:
        if isinstance(argument, tuple):
            (tmp_path / 'in' / argument[0]).write_bytes(argument[1])
            argument = tmp_path / 'in' / argument[0]
        expanded.append(argument)
    (tmp_path / 'out').mkdir()
    done = run(BRAND, '--in', source, '--out', tmp_path / 'out' / 'MyApp.exe', '--description', 'x', *expanded)
    assert done.returncode == FAILED
    assert message in done.stderr and done.stderr.startswith('brand: ') and done.stderr.count('\n') == 1
    assert os.listdir(tmp_path / 'out') == []
    assert source.read_bytes() == before


def test_an_output_that_cannot_be_written_leaves_nothing(tmp_path):
    missing = run(BRAND, '--in', LAUNCHER, '--out', tmp_path / 'no' / 'such' / 'MyApp.exe')
    assert missing.returncode == FAILED
    assert 'cannot write %s' % (tmp_path / 'no' / 'such' / 'MyApp.exe') in missing.stderr
    (tmp_path / 'taken').mkdir()
    (tmp_path / 'taken' / 'keep').write_text('a directory where the file should go')
    onto_directory = run(BRAND, '--in', LAUNCHER, '--out', tmp_path / 'taken')
    assert onto_directory.returncode == FAILED and 'cannot write' in onto_directory.stderr
    assert sorted(os.listdir(tmp_path)) == ['taken']
    assert os.listdir(tmp_path / 'taken') == ['keep']


def test_an_existing_output_is_replaced_whole(tmp_path):
    out = tmp_path / 'MyApp.exe'
    out.write_bytes(b'old contents' * 100000)
    assert run(BRAND, '--in', LAUNCHER, '--out', out, '--gui').returncode == 0
    assert out.read_bytes() == launcher_bytes()
    assert os.listdir(tmp_path) == ['MyApp.exe']


def test_the_launcher_is_never_branded_in_place(tmp_path):
    copy = tmp_path / 'launcher.exe'
    shutil.copyfile(LAUNCHER, copy)
    os.link(copy, tmp_path / 'same.exe')
    for out in (copy, tmp_path / '.' / 'launcher.exe', tmp_path / 'same.exe'):
        done = run(BRAND, '--in', copy, '--out', out, '--console')
        assert done.returncode == WRONG_COMMAND_LINE and 'name the same file' in done.stderr
    assert copy.read_bytes() == launcher_bytes()


@pytest.mark.parametrize('arguments, message', [
    ([], '--in is missing'),
    (['--in', LAUNCHER, '--out', 'x.exe', '--file-version', '1.2.3'], '"1.2.3" is not a version of four numbers'),
    (['--in', LAUNCHER, '--out', 'x.exe', '--icon'], '--icon needs a value'),
    (['--in', os.path.join(ROOT, 'no-such.exe'), '--out', 'x.exe'], 'cannot read'),
], ids=['nothing', 'three-part version', 'option without its value', 'missing input'])
def test_a_wrong_command_line_is_refused(tmp_path, arguments, message):
    done = subprocess.run([BRAND] + arguments, capture_output=True, text=True, cwd=tmp_path)
    assert done.returncode in (FAILED, WRONG_COMMAND_LINE) and message in done.stderr
    assert os.listdir(tmp_path) == []


def test_help_names_every_option():
    text = run(BRAND, '--help').stdout
    assert all(option in text for option in ('--in ', '--out ', '--icon ', '--file-version ', '--product-version ',
               '--description ', '--product-name ', '--company ', '--copyright ', '--console ', '--gui ',
               '--execution-level ', '--dpi-aware ', 'requireAdministrator', 'per-monitor-v2'))


def test_damaged_launchers_are_refused_or_branded_never_crashing(tmp_path):
    """Cut and corrupted copies through the tool built with the sanitizers:
    each ends in a result or a one-line refusal, never in a memory error."""
    if not os.path.exists(CHECKED_BRAND):
        pytest.fail('%s is missing: build the linux-sanitize preset first' % CHECKED_BRAND)
    data = launcher_bytes()
    rsrc = data.index(b'.rsrc\0\0\0')
    rsrc_offset = struct.unpack_from('<I', data, rsrc + 20)[0]
    rng = random.Random(1)
    damaged = [data[:length] for length in range(0, len(data), 1024)]
    # Headers and the resource directory, where every byte is read.
    damaged += [flipped(data, rng.randrange(0, 0x300)) for _ in range(40)]
    damaged += [flipped(data, rsrc_offset + rng.randrange(0, 0x190)) for _ in range(60)]
    (tmp_path / 'a.png').write_bytes(png_image(16))
    outcomes = set()
    for i, variant in enumerate(damaged):
        source = tmp_path / 'in.exe'
        source.write_bytes(variant)
        done = run(CHECKED_BRAND, '--in', source, '--out', tmp_path / 'out.exe', '--icon', tmp_path / 'a.png',
                   '--description', 'x', '--dpi-aware', 'system')
        assert 'Sanitizer' not in done.stderr and 'runtime error' not in done.stderr, (i, done.stderr)
        assert done.returncode in (0, FAILED), (i, done.stderr)
        assert done.returncode == 0 or done.stderr.startswith('brand: '), (i, done.stderr)
        outcomes.add(done.returncode)
    assert outcomes == {0, FAILED}
