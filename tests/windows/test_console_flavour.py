"""launcherc.exe, the launcher with the console subsystem: its messages go to
standard error instead of a box; everything else stays as it is."""
from wine import CONSOLE_LAUNCHER_EXE, MINUS_ONE, events, install_launcher, launch_application

NOT_FOUND = (b'Java Runtime Environment (JRE) not found. Please download and install JRE (minimum 99) from: \n'
             b'https://adoptium.net/\n')


def test_a_message_goes_to_standard_error_and_no_box_is_shown(wine, tmp_path):
    exe = install_launcher(tmp_path / 'app', launcher=CONSOLE_LAUNCHER_EXE,
                           ini='[Class Path]\nClass Path=a.jar\n[Java Runtime Environment]\nMain Class=a.B\n'
                               'Minimum Version=99\n')
    run = wine.run(exe)
    assert (run.boxes, run.exit_code) == ([], MINUS_ONE)
    assert NOT_FOUND in run.errors


def test_the_application_starts_as_from_the_window_flavour(wine, tmp_path):
    run = launch_application(wine, tmp_path, tail=' a', launcher=CONSOLE_LAUNCHER_EXE)
    assert (run.boxes, run.exit_code) == ([], 0)
    assert [bytes.fromhex(a['hex']) for a in events(run, 'main')[0]['args']] == [b'a']


def test_each_message_ends_with_one_line_end(wine, tmp_path):
    # The sentence has its own line end: no second one follows it.
    run = launch_application(wine, tmp_path, launcher=CONSOLE_LAUNCHER_EXE, create_result=-6)
    assert (run.boxes, run.exit_code) == ([], MINUS_ONE)
    assert run.errors.endswith(b'JNI exception: failed to create the Java VM.\n')
    assert not run.errors.endswith(b'\n\n')


def test_the_machine_is_handed_only_the_hooks_that_serve(wine, tmp_path):
    # Messages go to standard error, as the machine's own: no print or abort hook.
    run = launch_application(wine, tmp_path, launcher=CONSOLE_LAUNCHER_EXE)
    assert [e['hooks'] for e in events(run, 'create')] == [[]]
    # Sealing the startup cache's archive at System.exit needs the exit hook.
    (tmp_path / 'app' / 'jre' / 'bin' / 'client').mkdir(parents=True, exist_ok=True)
    (tmp_path / 'app' / 'jre' / 'release').write_text('JAVA_VERSION="21.0.2"\n')
    (tmp_path / 'app' / 'jre' / 'bin' / 'client' / 'classes.jsa').write_bytes(b'base archive')
    cached = launch_application(wine, tmp_path, class_path='%APPDIR%\\app.jar', launcher=CONSOLE_LAUNCHER_EXE,
                                extra_settings='Startup Cache=true\n')
    assert events(cached, 'create')[-1]['hooks'] == ['exit'] and cached.exit_code == 0
