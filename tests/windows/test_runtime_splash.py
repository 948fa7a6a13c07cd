"""A GIF, PNG or JPEG splash goes to the runtime's splash library, here the
double in the runtime's bin\\splashscreen.dll, which records its calls among
the machine's events."""
import zipfile

import pytest

from test_splash import bitmap
from wine import events, launch_application, windows_path

PNG = b'\x89PNG\r\n\x1a\n' + b'\0' * 40
SIGNATURES = {'png': PNG, 'gif': b'GIF89a' + b'\0' * 40, 'jpeg': b'\xff\xd8\xff\xe0' + b'\0' * 40}


def launch(wine, tmp_path, picture=PNG, name='splash.png', tail='', library=True, **settings):
    tmp_path.mkdir(parents=True, exist_ok=True)
    (tmp_path / name).write_bytes(picture)
    path = windows_path(tmp_path / name)
    run = launch_application(wine, tmp_path, tail=tail, bin_files=['splashscreen.dll'] if library else (),
                             extra_settings='[Display]\nSplash Screen=%s\n' % path, windows=1, **settings)
    return run, path


def sequence(run):
    """The library's calls and the machine's steps, in order."""
    return [(e['call'], e['first'], e['second']) if e['event'] == 'splash_library' else e['event']
            for e in events(run, 'splash_library', 'create', 'main', 'detach', 'destroy')]


@pytest.mark.parametrize('kind', sorted(SIGNATURES))
def test_an_image_is_shown_by_the_runtimes_library_before_the_machine_and_closed_after_main(wine, tmp_path, kind):
    run, path = launch(wine, tmp_path, SIGNATURES[kind], 'splash.' + kind)
    assert sequence(run) == [
        ('SplashInit', None, None),
        ('SplashGetScaledImgNameMaxPstfixLen', path, None),
        ('SplashGetScaledImageName', None, path),
        ('SplashLoadFile', path, None),
        ('SplashSetFileJarName', path, None),
        'create', 'main', 'detach',
        ('SplashClose', None, None),
        'destroy']
    # The launcher's own window is not shown for it, and boxes have no owner.
    [while_main] = [e for e in events(run, 'windows') if e['at'] == 'main']
    assert while_main['windows'] == [] and run.exit_code == 0


def test_the_scaled_variant_the_library_names_is_loaded_at_its_scale(wine, tmp_path):
    scaled = windows_path(tmp_path / 'splash@2x.png')
    run, path = launch(wine, tmp_path, env={'SPLASHDOUBLE_SCALED': scaled})
    calls = [e for e in events(run, 'splash_library')]
    assert [(e['call'], e['first']) for e in calls[3:6]] == [
        ('SplashSetScaleFactor', None), ('SplashLoadFile', scaled), ('SplashSetFileJarName', path)]
    assert calls[3]['scale'] == 2 and calls[2]['length'] == len(path) + 8


def test_a_library_that_cannot_start_is_left_alone(wine, tmp_path):
    run, _ = launch(wine, tmp_path, env={'SPLASHDOUBLE_INIT': '0'})
    assert [e['call'] for e in events(run, 'splash_library')] == ['SplashInit']
    assert run.exit_code == 0


@pytest.mark.parametrize('loads', [True, False], ids=['decodable', 'undecodable'])
def test_the_trace_says_whether_the_library_could_load_the_image(wine, tmp_path, loads):
    trace = tmp_path / 'trace.txt'
    env = {'JAVA_LAUNCHER_TRACE': windows_path(trace), 'SPLASHDOUBLE_LOAD': '1' if loads else '0'}
    run, path = launch(wine, tmp_path, env=env)
    told = 'shown' if loads else 'not shown: the splash library could not read or decode it'
    assert 'splash image %s: %s' % (path, told) in trace.read_text(encoding='latin-1').splitlines()
    # What the launcher does with the library is the same either way.
    assert [e['call'] for e in events(run, 'splash_library')] == [
        'SplashInit', 'SplashGetScaledImgNameMaxPstfixLen', 'SplashGetScaledImageName', 'SplashLoadFile',
        'SplashSetFileJarName', 'SplashClose']
    assert run.exit_code == 0


@pytest.mark.parametrize('tail', [' -nosplash', ' /nosplash'])
def test_the_switches_suppress_it(wine, tmp_path, tail):
    run, _ = launch(wine, tmp_path, tail=tail)
    assert events(run, 'splash_library') == [] and events(run, 'main') and run.exit_code == 0


def test_a_runtime_without_the_library_shows_none_and_the_launch_goes_on(wine, tmp_path):
    run, _ = launch(wine, tmp_path, library=False)
    assert events(run, 'main') and run.exit_code == 0


def test_a_bitmap_keeps_the_launchers_window(wine, tmp_path):
    run, _ = launch(wine, tmp_path, bitmap(40, 30), 'splash.bmp')
    assert events(run, 'splash_library') == []
    [while_main] = [e for e in events(run, 'windows') if e['at'] == 'main']
    assert [w['class'] for w in while_main['windows']] == ['SplashScreenWindow']


def test_the_launch_fails_after_the_splash_the_library_closes_it(wine, tmp_path):
    run, _ = launch(wine, tmp_path, main_class='com.example.Missing')
    calls = [e['call'] for e in events(run, 'splash_library')]
    assert calls[0] == 'SplashInit' and calls[-1] == 'SplashClose'
    assert [box.owner for box in run.boxes] == ['(none)']


def main_jar(directory, manifest, entries):
    directory.mkdir(parents=True, exist_ok=True)
    with zipfile.ZipFile(directory / 'app.jar', 'w', zipfile.ZIP_DEFLATED) as jar:
        jar.writestr('META-INF/MANIFEST.MF', manifest)
        for name, data in entries.items():
            jar.writestr(name, data)
    return windows_path(directory / 'app.jar')


def launch_main_jar(wine, tmp_path, manifest, entries, **settings):
    jar = main_jar(tmp_path / 'app', manifest, entries)
    run = launch_application(wine, tmp_path, class_path='%APPDIR%\\app.jar', main_class='',
                             bin_files=['splashscreen.dll'], **settings)
    return run, jar


JAR_MANIFEST = 'Manifest-Version: 1.0\r\nMain-Class: app.Main\r\nSplashScreen-Image: images/splash.png\r\n\r\n'


def test_a_main_jars_splash_image_is_shown_from_its_bytes_with_the_jars_name(wine, tmp_path):
    image = PNG + b'from the jar'
    run, jar = launch_main_jar(wine, tmp_path, JAR_MANIFEST, {'images/splash.png': image})
    calls = events(run, 'splash_library')
    assert [(e['call'], e['first'], e['second']) for e in calls] == [
        ('SplashInit', None, None),
        ('SplashGetScaledImgNameMaxPstfixLen', 'images/splash.png', None),
        ('SplashGetScaledImageName', jar, 'images/splash.png'),
        ('SplashLoadMemory', None, None),
        ('SplashSetFileJarName', 'images/splash.png', jar),
        # The double's runtime cannot read the JAR for its main class: the launch fails after the splash.
        ('SplashClose', None, None)]
    assert calls[3]['size'] == len(image) and bytes.fromhex(calls[3]['data']) == image
    assert sequence(run).index(('SplashSetFileJarName', 'images/splash.png', jar)) < sequence(run).index('create')


@pytest.mark.parametrize('manifest, tail, settings', [
    ('Manifest-Version: 1.0\r\nSplashScreen-Image: images/splash.png\r\n\r\n', '', {}),
    (JAR_MANIFEST, ' -nosplash', {}),
    (JAR_MANIFEST, '', {'extra_settings': 'Main Module=app\n'}),
], ids=['no Main-Class', '-nosplash', 'a main module'])
def test_a_jar_that_is_not_the_main_jar_or_a_suppressed_splash_shows_none(wine, tmp_path, manifest, tail, settings):
    run, _ = launch_main_jar(wine, tmp_path, manifest, {'images/splash.png': PNG}, tail=tail, **settings)
    assert events(run, 'splash_library') == []


def test_a_damaged_main_jar_shows_no_splash_and_the_launch_goes_on(wine, tmp_path):
    jar = main_jar(tmp_path / 'app', JAR_MANIFEST, {'images/splash.png': PNG})
    data = (tmp_path / 'app' / 'app.jar').read_bytes()
    (tmp_path / 'app' / 'app.jar').write_bytes(data[:len(data) // 2])
    run = launch_application(wine, tmp_path, class_path='%APPDIR%\\app.jar', main_class='',
                             bin_files=['splashscreen.dll'])
    assert events(run, 'splash_library') == [] and events(run, 'create')


def test_splash_in_the_parameters_is_loaded_from_its_file(wine, tmp_path):
    (tmp_path / 'app').mkdir(parents=True)
    (tmp_path / 'app' / 's.png').write_bytes(PNG)
    path = windows_path(tmp_path / 'app' / 's.png')
    run = launch_application(wine, tmp_path, parameters='-splash:%APPDIR%\\s.png', bin_files=['splashscreen.dll'])
    assert [(e['call'], e['first']) for e in events(run, 'splash_library')][3:5] == [
        ('SplashLoadFile', path), ('SplashSetFileJarName', path)]
    [create] = events(run, 'create')
    assert not any(bytes.fromhex(o).startswith(b'-splash:') for o in create['options'])
