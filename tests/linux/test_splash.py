"""A GIF, PNG or JPEG splash on Linux, shown through the runtime's own splash
library under a private Xvfb display: on screen before main, found by
java.awt.SplashScreen, closed by the application's first frame, or by the
launcher when main returns."""
import os
import shutil
import struct
import subprocess
import zipfile
import zlib
from pathlib import Path

import pytest

from linux_rig import LAUNCHER, RUNTIMES, settings_text

COLOUR = (200, 30, 160)
SIZE = (120, 80)


def png(width, height, colour):
    """A PNG file of one colour."""
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    rows = b''.join(b'\0' + bytes(colour) * width for _ in range(height))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(rows)) + chunk(b'IEND', b''))


@pytest.fixture(scope='module')
def display(xvfb_display):
    """A display of its own, and ImageMagick's import to look at it."""
    if not shutil.which('import'):
        pytest.skip('Xvfb and ImageMagick\'s import are needed')
    return xvfb_display


def centre_pixel(display):
    """The colour in the middle of the screen, where the splash is centred."""
    out = subprocess.run(['import', '-display', display, '-window', 'root', '-crop', '1x1+512+384', 'txt:-'],
                         capture_output=True, check=True, text=True).stdout
    # "0,0: (...)  #RRGGBB  srgb(...)", with 4 digits a channel at a depth of 16 bits.
    hexadecimal = out.split('#')[-1].split()[0]
    digits = len(hexadecimal) // 3
    return tuple(int(hexadecimal[i * digits:i * digits + 2], 16) for i in range(3))


def start(tmp_path, classes, runtime, display, arguments=(), image='splash.png',
          main_class='com.example.fixture.Splash', parameters=''):
    app = tmp_path / 'app'
    app.mkdir()
    shutil.copy2(LAUNCHER, app / 'app')
    (app / image).write_bytes(png(*SIZE, COLOUR))
    settings = settings_text(classes, main_class=main_class, parameters=parameters,
                             minimum=runtime.version, maximum=runtime.version)
    (app / 'app.ini').write_text(settings + '[Display]\nSplash Screen=%APPDIR%/' + image + '\n')
    environment = {'PATH': os.environ.get('PATH', '/usr/bin:/bin'), 'LC_ALL': 'C.UTF-8'}
    if display:
        environment['DISPLAY'] = display
    return subprocess.Popen([str(app / 'app'), *arguments], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, env=environment, text=True)


def report(process):
    """The lines main printed before it waited."""
    values = {}
    while True:
        line = process.stdout.readline().strip()
        assert line, process.stderr.read()
        key, value = line.split('=', 1)
        values[key] = value
        if key == 'url' or value == 'false':
            return values


def finish(process, *lines):
    out, errors = process.communicate(''.join(line + '\n' for line in lines), timeout=60)
    assert process.returncode == 0, errors
    return out


def test_the_splash_is_on_screen_before_main_and_a_frame_closes_it(tmp_path, classes, runtime, display):
    process = start(tmp_path, classes, runtime, display, ['frame'])
    values = report(process)
    assert values == {'splash': 'true', 'visible': 'true', 'size': '%dx%d' % SIZE,
                      'url': 'file:' + str(tmp_path / 'app' / 'splash.png')}
    assert centre_pixel(display) == COLOUR
    process.stdin.write('\n')
    process.stdin.flush()
    assert process.stdout.readline().strip() == 'after frame splash=false'
    assert centre_pixel(display) != COLOUR
    finish(process, '')


def test_the_launcher_closes_the_splash_when_main_returns(tmp_path, classes, runtime, display):
    process = start(tmp_path, classes, runtime, display)
    assert report(process)['visible'] == 'true'
    process.stdin.write('\n')
    process.stdin.flush()
    assert process.stdout.readline().strip() == 'main has returned'
    assert centre_pixel(display) != COLOUR
    finish(process, '')


def test_nosplash_shows_none(tmp_path, classes, runtime, display):
    process = start(tmp_path, classes, runtime, display, ['-nosplash'])
    assert report(process) == {'splash': 'false'}
    assert centre_pixel(display) != COLOUR
    finish(process, '', '')


def test_without_a_display_the_launch_goes_on_without_a_splash(tmp_path, classes, runtime):
    process = start(tmp_path, classes, runtime, None)
    assert report(process) == {'splash': 'false'}
    finish(process, '', '')



@pytest.mark.parametrize('image, told', [
    (png(*SIZE, COLOUR), 'shown'),
    (b'\x89PNG\r\n\x1a\n' + b'not an image, ' * 10, 'not shown: the splash library could not read or decode it'),
], ids=['decodable', 'undecodable'])
def test_the_trace_says_whether_the_library_could_decode_the_image(launch, tmp_path, classes, runtime, display,
                                                                    image, told):
    (tmp_path / 'splash.png').write_bytes(image)
    trace = tmp_path / 'trace.txt'
    settings = settings_text(classes, minimum=runtime.version, maximum=runtime.version)
    result = launch(settings + '[Display]\nSplash Screen=%s\n' % (tmp_path / 'splash.png'),
                    env={'DISPLAY': display, 'JAVA_LAUNCHER_TRACE': str(trace)})
    assert result.returncode == 0, result.stderr
    assert 'splash image %s: %s' % (tmp_path / 'splash.png', told) in trace.read_text().splitlines()


def test_a_main_jars_splash_image_is_read_from_the_jar(tmp_path, classes, runtime, display):
    app = tmp_path / 'app'
    app.mkdir()
    shutil.copy2(LAUNCHER, app / 'app')
    with zipfile.ZipFile(app / 'app.jar', 'w', zipfile.ZIP_DEFLATED) as jar:
        jar.writestr('META-INF/MANIFEST.MF', 'Manifest-Version: 1.0\r\nMain-Class: com.example.fixture.Splash\r\n'
                     'SplashScreen-Image: images/splash.png\r\n\r\n')
        jar.writestr('images/splash.png', png(*SIZE, COLOUR))
        for path in sorted(classes.rglob('*.class')):
            jar.write(path, path.relative_to(classes).as_posix())
    settings = settings_text('%APPDIR%/app.jar', main_class='', minimum=runtime.version, maximum=runtime.version)
    (app / 'app.ini').write_text(settings)
    environment = {'PATH': os.environ.get('PATH', '/usr/bin:/bin'), 'LC_ALL': 'C.UTF-8', 'DISPLAY': display}
    process = subprocess.Popen([str(app / 'app')], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, env=environment, text=True)
    values = report(process)
    assert values == {'splash': 'true', 'visible': 'true', 'size': '%dx%d' % SIZE,
                      'url': 'jar:file:%s!/images/splash.png' % (app / 'app.jar')}
    assert centre_pixel(display) == COLOUR
    finish(process, '', '')

JAVAFX = Path('/usr/share/openjfx/lib')


@pytest.fixture(scope='module')
def javafx_classes(tmp_path_factory):
    """The JavaFX fixture, compiled against the system's OpenJFX."""
    compilers = [r for r in RUNTIMES if (r.home / 'bin' / 'javac').exists()]
    if not (JAVAFX / 'javafx.graphics.jar').exists() or not compilers:
        pytest.skip("OpenJFX (Debian's openjfx) and a JDK are needed")
    output = tmp_path_factory.mktemp('fx-classes')
    sources = sorted(str(p) for p in (Path(__file__).parent / 'fixtures_fx').rglob('*.java'))
    subprocess.run([str(compilers[0].home / 'bin' / 'javac'), '--release', str(RUNTIMES[0].feature),
                    '--module-path', str(JAVAFX), '--add-modules', 'javafx.graphics', '-d', str(output), *sources],
                   check=True)
    return output


def test_a_javafx_application_closes_the_splash_once_its_stage_shows(tmp_path, javafx_classes, display):
    # Debian's OpenJFX is built for its own OpenJDK 17.
    runtimes = [r for r in RUNTIMES if r.feature == 17]
    if not runtimes:
        pytest.skip('no Java 17 runtime')
    runtime = runtimes[0]
    parameters = '--module-path=%s --add-modules=javafx.graphics' % JAVAFX
    process = start(tmp_path, javafx_classes, runtime, display, main_class='com.example.fx.FxSplash',
                    parameters=parameters)
    assert process.stdout.readline().strip() == 'splash=true'
    assert centre_pixel(display) == COLOUR
    process.stdin.write('\n')
    process.stdin.flush()
    assert process.stdout.readline().strip() == 'stage shown splash=true'
    assert process.stdout.readline().strip() == 'closed splash=false'
    assert centre_pixel(display) != COLOUR
    finish(process, '')
