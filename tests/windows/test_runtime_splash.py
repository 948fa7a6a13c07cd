"""A GIF, PNG or JPEG splash goes to the runtime's splash library, here the
double in the runtime's bin\\splashscreen.dll, which records its calls among
the machine's events."""
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
