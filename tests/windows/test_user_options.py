"""The user's options file under Wine: its options reach jvm.dll after the
parameters'; a missing one changes nothing; a broken one is named."""
import pytest

from wine import MINUS_ONE, events, launch_application, windows_path

RESTORES = b" Removing the file restores the application's own options."


def launch(wine, tmp_path, user_file='%USER_OPTIONS%\\MyApp.options', **settings):
    return launch_application(wine, tmp_path, parameters='-Xmx64m -Dx=shipped',
                              extra_settings='[Application]\nUser Options File=%s\n' % user_file,
                              env={'USER_OPTIONS': windows_path(tmp_path / 'user')}, **settings)


def options(run):
    [create] = events(run, 'create')
    given = [bytes.fromhex(option) for option in create['options']]
    return [o for o in given if not o.startswith((b'-Djava.class.path=', b'-Dsun.java.'))]


def test_the_users_options_come_after_the_parameters(wine, tmp_path):
    (tmp_path / 'user').mkdir()
    (tmp_path / 'user' / 'MyApp.options').write_bytes(b'-Xmx1g\r\n"-Dx=the user\'s" -server\r\n')
    run = launch(wine, tmp_path)
    assert (run.boxes, run.exit_code) == ([], 0)
    assert options(run) == [b'-Xmx64m', b'-Dx=shipped', b'-Xmx1g', b"-Dx=the user's"]


def test_a_missing_file_changes_nothing(wine, tmp_path):
    run = launch(wine, tmp_path)
    assert (run.boxes, run.exit_code) == ([], 0)
    assert options(run) == [b'-Xmx64m', b'-Dx=shipped']


@pytest.mark.parametrize('kind', ['a folder', 'an option of the java command'])
def test_a_broken_file_is_named_with_the_way_back(wine, tmp_path, kind):
    path = tmp_path / 'user' / 'MyApp.options'
    if kind == 'a folder':
        path.mkdir(parents=True)
        reason = b'cannot be read'
    else:
        path.parent.mkdir()
        path.write_bytes(b'--version\r\n')
        reason = b"cannot be taken. The option --version is one of the java command's own and has no meaning here"
    run = launch(wine, tmp_path)
    shown = windows_path(path).encode()
    assert [b.text for b in run.boxes] == [b'The user options file ' + shown + b' ' + reason + b'.' + RESTORES]
    assert run.exit_code == MINUS_ONE and events(run, 'create') == []
