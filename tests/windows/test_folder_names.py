"""Applications in folders whose names the ANSI code page cannot hold: they
start through their folders' short names, a best-fit look-alike folder is
never read, and arguments reach main as the exact Java strings."""
import os
import subprocess

import pytest

from wine import (BUILD, LAUNCHER_EXE, MINUS_ONE, events, install_launcher, install_runtime, jvm_double_env,
                  read_record, windows_path)
from test_splash import bitmap

FOLDERS = ['Łukasz', 'Данные', '应用', 'Emoji😀']
CODE_PAGES = {'1252': 'cp1252', '932': 'cp932', '65001': 'utf-8'}
# What the double's sun.jnu.encoding says under each code page.
JNU_ENCODINGS = {'1252': 'Cp1252', '932': 'MS932', '65001': 'UTF-8'}
SETTINGS = ('[Class Path]\nClass Path=%APPDIR%\\app.jar\n[Java Runtime Environment]\n'
            'Main Class=MAIN\nVirtual Machine Parameters=-Dapp.home=%APPDIR%\n'
            '[Display]\nSplash Screen=%APPDIR%\\splash.bmp\n')
ARGUMENTS = ['Łukasz 1.txt', 'plain', '日本語', '😀', 'Данные', 'café']
UNREPRESENTABLE = (b"cannot be represented in the system's code page. Install the application under names "
                   b"that the code page can represent, or turn on short (8.3) names on that volume.\n")


@pytest.fixture(scope='module')
def code_pages(japanese):
    """The environment of a Wine process for each ANSI code page."""
    return {'1252': {}, '932': japanese}


def install_application(directory, main_class='com.example.Main', vm_library='jvm_double.dll',
                        launcher=LAUNCHER_EXE):
    exe = install_launcher(directory, ini=SETTINGS.replace('MAIN', main_class), launcher=launcher)
    install_runtime(directory / 'jre', vm_library)
    (directory / 'splash.bmp').write_bytes(bitmap(40, 30))
    (directory / 'only-here.txt').write_text('the real folder')
    return exe


def install_look_alike(tmp_path):
    """The folder that best-fit mapping makes of Łukasz, with an application
    of its own whose VM library cannot even be loaded."""
    install_application(tmp_path / 'Lukasz' / 'App', main_class='com.lookalike.Main',
                        vm_library=b'not a library: loading it fails')


def names_the_real_folder(wine, path):
    """Whether the Windows path, as the launcher spelt it, is the folder
    holding only-here.txt (a look-alike holds none)."""
    completed = wine.command(['cmd', '/c', 'if', 'exist', path + '\\only-here.txt', 'echo', 'found'], check=False)
    return b'found' in completed.stdout


def run_in(wine, tmp_path, folder, code_page, environment, tail, launcher=LAUNCHER_EXE):
    app = tmp_path / folder / 'App'
    exe = install_application(app, launcher=launcher)
    install_look_alike(tmp_path)
    record = tmp_path / 'record.jsonl'
    env = dict(jvm_double_env(record, windows=1), **environment)
    env['JVMDOUBLE_ENCODING'] = JNU_ENCODINGS[code_page]
    env['JAVA_LAUNCHER_TRACE'] = windows_path(app / 'trace.txt')
    run = wine.run(exe, '"%s"%s' % (windows_path(exe), tail), env=env, wide=True)
    run.events = read_record(record)
    run.trace = (app / 'trace.txt').read_bytes() if (app / 'trace.txt').exists() else b''
    return run


def java_string(argument, code_page):
    """The Java string the double was handed: bytes decoded as the machine
    would, or UTF-16 units."""
    data = bytes.fromhex(argument['hex'])
    return data.decode('utf-16-le' if argument['encoding'] == 'UTF-16LE' else code_page)


@pytest.mark.parametrize('code_page', ['1252', '932'])
@pytest.mark.parametrize('folder', FOLDERS)
def test_the_application_starts_from_its_own_folder(wine, tmp_path, code_pages, folder, code_page):
    encoding = CODE_PAGES[code_page]
    tail = ''.join(' "%s"' % argument for argument in ARGUMENTS)
    run = run_in(wine, tmp_path, folder, code_page, code_pages[code_page], tail)
    assert (run.boxes, run.exit_code) == ([], 0)

    # %APPDIR% is the real folder, in bytes of the code page the machine decodes.
    [create] = events(run, 'create')
    options = [bytes.fromhex(option).decode(encoding) for option in create['options']]
    prefix, suffix = '-Djava.class.path=', '\\app.jar'
    assert options[0].startswith(prefix) and options[0].endswith(suffix)
    directory = options[0][len(prefix):-len(suffix)]
    assert options[1:-2] == ['-Dapp.home=' + directory]
    assert options[-2].startswith('-Dsun.java.command=com.example.Main ')
    assert options[-1] == '-Dsun.java.launcher=SUN_STANDARD'
    assert '?' not in directory and 'Lukasz' not in directory
    assert names_the_real_folder(wine, directory)
    # The splash bitmap came from the same folder.
    [while_main] = [e for e in events(run, 'windows') if e['at'] == 'main']
    assert [w['class'] for w in while_main['windows']] == ['SplashScreenWindow']

    # Never the look-alike: not its settings, not its runtime.
    assert [e['name'] for e in events(run, 'find_class') if 'lookalike' in e['name']] == []
    assert b'Lukasz' not in run.trace and b'settings file ' in run.trace

    # Each argument is the exact Java string; those the code page holds come
    # as they always did, as bytes the machine decodes.
    [main] = events(run, 'main')
    assert [java_string(argument, encoding) for argument in main['args']] == ARGUMENTS
    for argument, given in zip(main['args'], ARGUMENTS):
        try:
            given.encode(encoding)
            assert argument['encoding'] == JNU_ENCODINGS[code_page]
        except UnicodeEncodeError:
            assert argument['encoding'] == 'UTF-16LE'


def test_a_launcher_branded_for_utf8_takes_every_name_as_it_is(wine, tmp_path, code_pages):
    utf8 = tmp_path / 'utf8.exe'
    subprocess.run([os.path.join(BUILD, 'brand-host', 'brand'), '--in', LAUNCHER_EXE, '--out', str(utf8),
                    '--utf8'], check=True)
    run = run_in(wine, tmp_path, 'Łukasz', '65001', code_pages['1252'], ' "日本語 😀" Łukasz', launcher=utf8)
    assert (run.boxes, run.exit_code) == ([], 0)
    [create] = events(run, 'create')
    class_path = bytes.fromhex(create['options'][0]).decode('utf-8')
    assert class_path.endswith('\\Łukasz\\App\\app.jar') and names_the_real_folder(wine, class_path[18:-8])
    [main] = events(run, 'main')
    assert [(a['encoding'], java_string(a, 'utf-8')) for a in main['args']] == [
        ('UTF-8', '日本語 😀'), ('UTF-8', 'Łukasz')]


def test_the_splash_switch_outside_the_code_page_still_counts(wine, tmp_path, code_pages):
    run = run_in(wine, tmp_path, 'Łukasz', '1252', code_pages['1252'], ' "Łukasz.txt" -nosplash')
    assert (run.boxes, run.exit_code) == ([], 0)
    assert [e['windows'] for e in events(run, 'windows') if e['at'] == 'main'] == [[]]
    [main] = events(run, 'main')
    assert [java_string(argument, 'cp1252') for argument in main['args']] == ['Łukasz.txt', '-nosplash']


def test_an_executable_name_outside_the_code_page_is_told_not_guessed(wine, tmp_path):
    """Its short name would read another settings file: the launcher says
    which name it cannot represent instead."""
    app = tmp_path / 'app'
    install_application(app)
    exe = install_launcher(app, name='Łukasz.exe', ini=SETTINGS.replace('MAIN', 'com.example.Main'))
    install_launcher(app, name='Lukasz.exe', ini=SETTINGS.replace('MAIN', 'com.lookalike.Main'))
    record = tmp_path / 'record.jsonl'
    run = wine.run(exe, '"%s"' % windows_path(exe), env=jvm_double_env(record), wide=True)
    [text] = [box.text for box in run.boxes]
    named, told = text[len(b'The name of '):].split(b' ', 1)
    assert text.startswith(b'The name of ') and told == UNREPRESENTABLE
    # The folders as they are spelt when the launcher names the file.
    assert named.endswith(b'\\app\\?ukasz.exe') and named.isascii()
    assert run.exit_code == MINUS_ONE
    assert read_record(record) == []
