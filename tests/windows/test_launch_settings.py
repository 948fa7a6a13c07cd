"""The launch up to the settings: which messages, owners and exit codes."""
import os

import pytest

from wine import MINUS_ONE, install_launcher, windows_path

NO_CLASS_PATH = b'Java Class Path was not specified in INI file.'
NO_MAIN_CLASS = b'Main class was not specified in INI file.'
# The settings file was read to the end when the runtime search complains.
BEYOND_SETTINGS = b'Java Runtime Environment (JRE) not found. Please download and install JRE (minimum 99) from: \n'
COMPLETE = '[Class Path]\nClass Path=app.jar\n[Java Runtime Environment]\nMain Class=a.B\nMinimum Version=99\n'


@pytest.fixture
def no_registered_runtimes(wine):
    wine.reg_delete(r'HKLM\Software\JavaSoft')


def messages(run):
    """The boxes (owner, text) and the exit code; a box that the runtime
    search raised counts by its start alone."""
    texts = [BEYOND_SETTINGS if b.text.startswith(BEYOND_SETTINGS) else b.text for b in run.boxes]
    return [(b.owner, t) for b, t in zip(run.boxes, texts)], run.exit_code


def test_without_settings_file_the_class_path_is_missing(wine, tmp_path):
    exe = install_launcher(tmp_path / 'app')
    run = wine.run(exe)
    assert [(b.owner, b.text) for b in run.boxes] == [('(none)', NO_CLASS_PATH)]
    assert run.exit_code == MINUS_ONE


@pytest.mark.parametrize('ini, message', [
    ('[Class Path]\nClass Path=lib\\app.jar\n', NO_MAIN_CLASS),
    ('[Class Path]\nClass Path=app.jar\n[Java Runtime Environment]\nMain Class=\n', NO_MAIN_CLASS),
    ('[class path]\nCLASS PATH=app.jar\n', NO_MAIN_CLASS),
    ('[CLASS path]\nclass Path=app.jar\n[java RUNTIME environment]\nmain CLASS=a.B\nMINIMUM version=99\n',
     BEYOND_SETTINGS),
    (COMPLETE, BEYOND_SETTINGS),
    ('[Class Path]\nClass Path=\n[Java Runtime Environment]\nMain Class=a.B\n', NO_CLASS_PATH),
    ('[Class Path]\nClass Path=""\n[Java Runtime Environment]\nMain Class=a.B\n', NO_CLASS_PATH),
    # The class path has a section of its own, not the runtime's.
    ('[Java Runtime Environment]\nClass Path=app.jar\nMain Class=a.B\n', NO_CLASS_PATH),
    # The parameters' class path is one, as for java.
    ('[Java Runtime Environment]\nMain Class=a.B\nVirtual Machine Parameters=-cp app.jar\nMinimum Version=99\n',
     BEYOND_SETTINGS),
], ids=['no main class', 'empty main class', 'class path names in other case',
        'all names in other case', 'complete', 'empty class path', 'quoted empty class path',
        'class path in the runtime section', 'class path in the parameters'])
def test_required_settings(wine, tmp_path, no_registered_runtimes, ini, message):
    run = wine.run(install_launcher(tmp_path / 'app', ini=ini))
    assert messages(run) == ([('(none)', message)], MINUS_ONE)


def test_executable_without_any_dot_ends_silently(wine, tmp_path):
    exe = install_launcher(tmp_path / 'nodot', name='run', ini=COMPLETE)
    assert '.' not in windows_path(exe), 'the test needs a temporary directory without dots'
    run = wine.run(exe)
    assert (run.boxes, run.exit_code) == ([], MINUS_ONE)


def test_dotless_executable_in_dotted_directory_reads_the_settings_beside_the_directory(wine, tmp_path):
    exe = install_launcher(tmp_path / 'my.tools', name='run', ini=COMPLETE)
    with open(tmp_path / 'my.ini', 'w') as f:
        f.write('[Class Path]\nClass Path=app.jar\n')
    run = wine.run(exe)
    assert messages(run) == ([('(none)', NO_MAIN_CLASS)], MINUS_ONE)


def test_executable_path_longer_than_260_characters_finds_its_settings(wine, tmp_path):
    directory = os.path.join(tmp_path, *['level%02d-%s' % (i, 'x' * 40) for i in range(6)])
    exe = install_launcher(directory, ini='[Class Path]\nClass Path=app.jar\n')
    assert len(windows_path(exe)) > 260
    run = wine.run(exe)
    if run.output.startswith('start-failed'):
        pytest.skip('Wine cannot start an executable whose path is longer than 260 characters '
                    '(CreateProcessA error %s)' % run.output.split()[-1])
    assert messages(run) == ([('(none)', NO_MAIN_CLASS)], MINUS_ONE)
