"""The splash window, seen from the application's main method through the
jvm.dll double: class, styles, size, position, pixels, lifetime, and the
owner of the launch's message boxes."""
import os
import shutil
import struct
import subprocess

import pytest

from wine import MINUS_ONE, ROOT, events, launch_application, windows_path

WS_POPUP, WS_VISIBLE, WS_CLIPSIBLINGS = 0x80000000, 0x10000000, 0x04000000
SHADOW_CLASS_STYLE, PLAIN_CLASS_STYLE = 0x20808, 0x808
# Four quadrants, as (blue, green, red): top left, top right, bottom left, bottom right.
QUADRANTS = ((0x20, 0x40, 0xE0), (0xE0, 0x40, 0x20), (0x20, 0xC0, 0x20), (0xF0, 0xF0, 0xF0))


def bitmap(width, height):
    """A 24-bit bottom-up BMP file painted in QUADRANTS."""
    rows = []
    for y in reversed(range(height)):
        row = b''.join(bytes(QUADRANTS[2 * (y >= height // 2) + (x >= width // 2)]) for x in range(width))
        rows.append(row + b'\0' * (-len(row) % 4))
    pixels = b''.join(rows)
    return (b'BM' + struct.pack('<IHHI', 54 + len(pixels), 0, 0, 54)
            + struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0) + pixels)


def pixel(bmp, x, y):
    """The (blue, green, red) of a pixel of a 24-bit bottom-up BMP file."""
    offset, = struct.unpack_from('<I', bmp, 10)
    width, height = struct.unpack_from('<ii', bmp, 18)
    stride = (3 * width + 3) & ~3
    at = offset + (height - 1 - y) * stride + 3 * x
    return tuple(bmp[at:at + 3])


def splash(wine, tmp_path, size=(40, 30), shadow=None, path=None, tail='', **settings):
    """Launches with a splash bitmap of the size (written to tmp_path unless
    path is given); returns the run and the windows seen while main ran."""
    tmp_path.mkdir(parents=True, exist_ok=True)
    picture = tmp_path / 'splash.bmp'
    picture.write_bytes(bitmap(*size))
    display = '[Display]\nSplash Screen=%s\n' % (path or windows_path(picture))
    if shadow is not None:
        display += 'Splash Screen Shadow=%s\n' % shadow
    run = launch_application(wine, tmp_path, tail=tail, extra_settings=display, windows=1, **settings)
    seen = [e for e in events(run, 'windows') if e['at'] == 'main']
    return run, (seen[0] if seen else None)


@pytest.mark.parametrize('shadow, class_style', [
    ('true', SHADOW_CLASS_STYLE), ('TRUE', PLAIN_CLASS_STYLE), ('True', PLAIN_CLASS_STYLE),
    (None, PLAIN_CLASS_STYLE),
], ids=['shadow true', 'TRUE is not true', 'True is not true', 'shadow missing'])
def test_the_window_is_a_centred_topmost_popup_of_the_bitmaps_size(wine, tmp_path, shadow, class_style):
    run, while_main = splash(wine, tmp_path, size=(41, 31), shadow=shadow)
    [window] = while_main['windows']
    left, top, right, bottom = window['rect']
    full_width, full_height = while_main['fullScreen']
    assert window['class'] == 'SplashScreenWindow' and window['text'] == ''
    assert window['classStyle'] == class_style
    assert window['exStyle'] == 0x88          # topmost tool window: no taskbar button
    assert window['style'] & ~WS_CLIPSIBLINGS == WS_POPUP | WS_VISIBLE
    assert (right - left, bottom - top) == (41, 31)
    assert (left, top) == ((full_width - 41) // 2, (full_height - 31) // 2)
    assert window['owner'] == 0 and run.boxes == [] and run.exit_code == 0


def test_a_bitmap_wider_than_the_screen_starts_left_of_it(wine, tmp_path):
    _, probe = splash(wine, tmp_path / 'probe')
    full_width, full_height = probe['fullScreen']
    _, while_main = splash(wine, tmp_path / 'wide', size=(full_width + 3, 20))
    [window] = while_main['windows']
    # (width - bitmap width) / 2, truncated toward zero: -3 / 2 is -1.
    assert window['rect'][:2] == [-1, (full_height - 20) // 2]


def test_the_bitmap_is_painted_and_the_window_goes_before_the_machine(wine, tmp_path):
    shot = tmp_path / 'screen.bmp'
    run, while_main = splash(wine, tmp_path, size=(64, 48), screenshot=windows_path(shot))
    screen = shot.read_bytes()
    for x, y, quadrant in ((5, 5, 0), (58, 5, 1), (5, 42, 2), (58, 42, 3), (31, 23, 0), (32, 24, 3)):
        assert pixel(screen, x, y) == QUADRANTS[quadrant], (x, y)
    save_screenshot(shot)
    at_destroy = events(run, 'windows')[1]
    assert (at_destroy['at'], at_destroy['windows']) == ('destroy', [])


def save_screenshot(bmp):
    """Keeps a PNG of the splash in build/test-output for a person to look at."""
    out = os.path.join(ROOT, 'build', 'test-output')
    os.makedirs(out, exist_ok=True)
    if shutil.which('convert'):
        subprocess.run(['convert', str(bmp), os.path.join(out, 'splash.png')], check=False)
    else:
        shutil.copyfile(bmp, os.path.join(out, 'splash.bmp'))


@pytest.mark.parametrize('tail, shown', [
    ('', True), (' -nosplash', False), (' x "/nosplash"', False), (' -NOSPLASH', True),
    (' /NoSplash', True), (' -nosplash=1', True),
], ids=['no switch', '-nosplash', 'quoted /nosplash', '-NOSPLASH', '/NoSplash', '-nosplash=1'])
def test_the_switches_suppress_the_splash_and_its_ownership_of_messages(wine, tmp_path, tail, shown):
    run, while_main = splash(wine, tmp_path, tail=tail, main_class='com.example.Missing')
    assert while_main is None      # main was never reached
    # The box came first; the machine is destroyed only after the splash is gone.
    assert [e['windows'] for e in events(run, 'windows')] == [[]]
    assert [(box.owner, box.text) for box in run.boxes] == [
        ('SplashScreenWindow' if shown else '(none)', b'Could not find the main class com/example/Missing.\n'
         b'java.lang.NoClassDefFoundError: com/example/Missing\n'
         b'Caused by: java.lang.ClassNotFoundException: com/example/Missing\n')]
    assert run.exit_code == MINUS_ONE


def test_without_a_usable_bitmap_there_is_no_window_and_no_owner(wine, tmp_path):
    for case, path in (('missing file', 'Z:\\no\\such\\splash.bmp'), ('not a bitmap', None)):
        directory = tmp_path / case.replace(' ', '-')
        if path is None:
            directory.mkdir()
            (directory / 'text.bmp').write_bytes(b'plain text, no bitmap')
            path = windows_path(directory / 'text.bmp')
        run, while_main = splash(wine, directory, path=path, main_class='com.example.Missing')
        assert [box.owner for box in run.boxes] == ['(none)'], case
    run, while_main = splash(wine, tmp_path / 'runs', path='Z:\\no\\such\\splash.bmp')
    assert while_main['windows'] == [] and run.exit_code == 0


def test_a_relative_bitmap_path_is_taken_from_the_current_directory(wine, tmp_path):
    current = tmp_path / 'current'
    current.mkdir()
    (current / 'relative.bmp').write_bytes(bitmap(23, 17))
    # Wine's LoadImageA would take this one, from the executable's directory.
    (tmp_path / 'app').mkdir()
    (tmp_path / 'app' / 'relative.bmp').write_bytes(bitmap(51, 19))
    run, while_main = splash(wine, tmp_path, path='relative.bmp', cwd=current)
    [window] = while_main['windows']
    left, top, right, bottom = window['rect']
    assert (right - left, bottom - top) == (23, 17)


def layout(header=40, width=37, height=23, bits=24, compression=0, masks=(), offset=None):
    """A BMP file of another layout than bitmap()'s: header is the information
    header's length (12: the core header); a negative height is top-down."""
    pixels = bytes(i * 7 & 0xFF for i in range((width * bits + 31) // 32 * 4 * abs(height)))
    table = bytes(i * 53 & 0xFF for i in range((1 << bits if bits <= 8 else 0) * (3 if header == 12 else 4)))
    if header == 12:
        info = struct.pack('<IHHHH', 12, width, height, 1, bits)
    else:
        info = struct.pack('<IiiHHIIiiII', header, width, height, 1, bits, compression, 0, 0, 0, 0, 0)
    info = (info + struct.pack('<%dI' % len(masks), *masks)).ljust(header, b'\0')
    start = 14 + len(info) + len(table)
    return (b'BM' + struct.pack('<IHHI', start + len(pixels), 0, 0, start if offset is None else offset)
            + info + table + pixels)


def patched(bmp, at, value):
    return bmp[:at] + struct.pack('<I', value) + bmp[at + 4:]


LOADABLE = {
    'core header 8-bit': lambda: layout(header=12, bits=8),
    '1-bit': lambda: layout(bits=1),
    'top-down 24-bit': lambda: layout(height=-23),
    '32-bit bit fields': lambda: layout(bits=32, compression=3, masks=(0xFF0000, 0xFF00, 0xFF)),
    'V5 header bit fields': lambda: layout(header=124, bits=32, compression=3,
                                           masks=(0xFF0000, 0xFF00, 0xFF, 0)),
    'no pixel offset': lambda: layout(bits=8, offset=0),
}
FULL = bitmap(64, 48)
INCONSISTENT = {
    'pixel data cut short': lambda: FULL[:3054],
    'pixel offset past the end': lambda: patched(FULL, 10, len(FULL)),
    'colour table past the end': lambda: layout(width=2, height=2, bits=8, offset=54)[:62],
    'header length past the end': lambda: patched(FULL, 14, len(FULL)),
    'huge dimensions': lambda: patched(patched(FULL, 18, 60000), 22, 60000),
    'shorter than the headers': lambda: FULL[:30],
}


@pytest.mark.parametrize('case', LOADABLE)
def test_every_layout_that_loads_shows_its_window(wine, tmp_path, case):
    (tmp_path / 'layout.bmp').write_bytes(LOADABLE[case]())
    run, while_main = splash(wine, tmp_path, path=windows_path(tmp_path / 'layout.bmp'))
    [window] = while_main['windows']
    left, top, right, bottom = window['rect']
    assert (right - left, bottom - top) == (37, 23) and run.exit_code == 0


@pytest.mark.parametrize('case', INCONSISTENT)
def test_a_bitmap_whose_headers_do_not_fit_the_file_gives_no_window(wine, tmp_path, case):
    path = windows_path(tmp_path / 'broken.bmp')
    (tmp_path / 'broken.bmp').write_bytes(INCONSISTENT[case]())
    run, while_main = splash(wine, tmp_path / 'runs', path=path)
    assert run.exit_code == 0 and while_main['windows'] == []
    run, _ = splash(wine, tmp_path / 'fails', path=path, main_class='com.example.Missing')
    assert [box.owner for box in run.boxes] == ['(none)'] and run.exit_code == MINUS_ONE
