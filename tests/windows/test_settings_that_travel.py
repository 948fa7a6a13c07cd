"""%APPDIR% and environment variables in the settings, with the launcher
started from another current directory."""
from test_splash import bitmap
from wine import events, launch_application, windows_path


def test_appdir_and_variables_from_another_directory(wine, tmp_path):
    elsewhere = tmp_path / 'elsewhere'
    elsewhere.mkdir()
    (tmp_path / 'app').mkdir()
    (tmp_path / 'app' / 'splash.bmp').write_bytes(bitmap(29, 19))
    run = launch_application(
        wine, tmp_path, class_path='%APPDIR%\\lib\\app.jar;%UNSET_NAME%', cwd=elsewhere, windows=1,
        parameters='-Dhome=%APPDIR% -Dtitle=%TRAVEL_TEST% "-Dq=%APPDIR% x" 100%',
        extra_settings='[Display]\nSplash Screen=%APPDIR%\\splash.bmp\n', env={'TRAVEL_TEST': 'two words'})
    app = windows_path(tmp_path / 'app').encode()
    [create] = events(run, 'create')
    assert [bytes.fromhex(option) for option in create['options']] == [
        b'-Djava.class.path=' + app + b'\\lib\\app.jar;%UNSET_NAME%', b'-Dhome=' + app,
        b'-Dtitle=two words', b'-Dq=' + app + b' x', b'100%', b'-Dsun.java.command=com.example.Main',
        b'-Dsun.java.launcher=SUN_STANDARD']
    [while_main] = [e for e in events(run, 'windows') if e['at'] == 'main']
    [window] = while_main['windows']
    left, top, right, bottom = window['rect']
    assert (right - left, bottom - top) == (29, 19) and run.exit_code == 0
