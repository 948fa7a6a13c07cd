"""The user's options file: read as an argument file, its options after the
parameters', so that the machine takes the user's where it takes the last."""
import os

import pytest

from linux_rig import RUNTIMES, settings_text

MEMORY_MAIN = 'com.example.fixture.Memory'
RESTORES = ' Removing the file restores the application\'s own options.'


def only(runtime):
    return {'minimum': runtime.version, 'maximum': runtime.version}


def settings(classes, runtime, user_file='%APPDIR%/user.options'):
    return settings_text(classes, MEMORY_MAIN, '-Xmx64m -Dx=shipped -Dy=shipped', **only(runtime)) + (
        '[Application]\n'
        f'User Options File={user_file}\n')


def printed(result):
    assert result.returncode == 0, result.stderr.decode(errors='replace')
    return dict(line.split('=', 1) for line in result.stdout.decode().splitlines())


def test_the_users_options_come_after_the_parameters(launch, classes, runtime, tmp_path):
    (tmp_path / 'app').mkdir()
    (tmp_path / 'app' / 'user.options').write_text('# mine\n-Xmx256m\n"-Dx=the user\'s"\n')
    result = launch(settings(classes, runtime))
    # The heap's limit is a little less than -Xmx (a survivor space is left out).
    values = printed(result)
    assert 200 < int(values['max']) <= 256
    assert (values['x'], values['y']) == ("the user's", 'shipped')


def test_a_missing_file_changes_nothing(launch, classes, runtime, tmp_path):
    trace = tmp_path / 'trace.txt'
    result = launch(settings(classes, runtime, '%APPDIR%/none/user.options'), env={'JAVA_LAUNCHER_TRACE': str(trace)})
    values = printed(result)
    assert int(values['max']) <= 64 and (values['x'], values['y']) == ('shipped', 'shipped')
    assert result.stderr == b''
    assert f'user options file {tmp_path}/app/none/user.options: not there\n' in trace.read_text()


def broken(path):
    """{kind: (what makes the file, the message's middle)}."""
    return {
        'a folder': (lambda: path.mkdir(), 'cannot be read'),
        'a FIFO': (lambda: os.mkfifo(path), 'cannot be read'),
        'a device': (lambda: path.symlink_to('/dev/zero'), 'cannot be read'),
        'too large': (lambda: path.write_bytes(b'#' * (1024 * 1024) + b'\n-Xmx1g'),
                      'is larger than 1048576 bytes'),
        'naming itself': (lambda: path.write_text(f'-Dx=1 @{path}\n'),
                          f'cannot be taken. It names @{path}: no argument file names another'),
        'an option without its value': (lambda: path.write_text('-Dx=1\n--add-opens\n'),
                                        'cannot be taken. The option --add-opens needs a value after it'),
        "the java command's own": (lambda: path.write_text('-version\n'),
                                   "cannot be taken. The option -version is one of the java command's own and "
                                   'has no meaning here'),
    }


# The launch stops before a runtime is looked for: one runtime will do.
@pytest.mark.parametrize('kind', sorted(broken(None)))
def test_a_broken_file_is_named_with_the_way_back(launch, classes, tmp_path, kind):
    path = tmp_path / 'app' / 'user.options'
    path.parent.mkdir()
    make, reason = broken(path)[kind]
    make()
    result = launch(settings(classes, RUNTIMES[-1]))
    assert result.returncode == 255
    assert result.stdout == b''
    assert result.stderr.decode() == f'The user options file {path} {reason}.{RESTORES}\n'
