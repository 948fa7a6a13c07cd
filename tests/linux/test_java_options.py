"""Virtual Machine Parameters written as for the java command: each case is
run through java itself and through the launcher, and both must print the same
and end the same."""
import os
import subprocess

import pytest

from linux_rig import settings_text

OPTIONS_MAIN = 'com.example.fixture.Options'


def only(runtime):
    return {'minimum': runtime.version, 'maximum': runtime.version}


def run_java(runtime, arguments):
    environment = {'PATH': os.environ.get('PATH', '/usr/bin:/bin'), 'LC_ALL': 'C.UTF-8'}
    return subprocess.run([str(runtime.home / 'bin' / 'java'), *arguments], capture_output=True,
                          env=environment, timeout=120)


def assert_same(through_launcher, through_java):
    assert through_java.returncode == 0, through_java.stderr.decode(errors='replace')
    assert through_launcher.returncode == 0, through_launcher.stderr.decode(errors='replace')
    assert through_launcher.stdout.decode() == through_java.stdout.decode()


def module_options(tmp_path):
    """Every module option java takes in two words, with values the fixture can see."""
    mods, more_mods, empty = tmp_path / 'mods', tmp_path / 'more-mods', tmp_path / 'empty'
    for directory in (mods, more_mods, empty):
        directory.mkdir(exist_ok=True)
    return ['--add-modules', 'java.sql', '--add-opens', 'java.base/java.lang=ALL-UNNAMED',
            '--add-exports', 'java.base/jdk.internal.misc=ALL-UNNAMED', '--add-reads', 'java.sql=ALL-UNNAMED',
            '--limit-modules', 'java.base,java.sql', '--upgrade-module-path', str(empty),
            '--patch-module', f'java.sql={empty}', '--enable-native-access', 'ALL-UNNAMED',
            '-p', str(mods), '--module-path', str(more_mods)]


def test_module_options_in_two_words(launch, classes, runtime, tmp_path):
    options = module_options(tmp_path)
    through_launcher = launch(settings_text(classes, OPTIONS_MAIN, ' '.join(options), **only(runtime)))
    through_java = run_java(runtime, ['-cp', str(classes), *options, OPTIONS_MAIN])
    assert_same(through_launcher, through_java)
    # The options took effect: a run without them prints otherwise.
    assert 'opens java.lang=true' in through_java.stdout.decode()
    assert 'java.desktop=false' in through_java.stdout.decode()


ARGUMENT_FILE = r'''# options of the application
--add-opens java.base/java.lang=ALL-UNNAMED
"-Dt.quoted=a b"  '-Dt.single=c "d"'
-Dt.escaped="x\ty\\z\"w\q"
-Dt.joined="first \
      second"
-Dt.comment=kept # -Dt.gone=1
-Dt.cut=abc#def
-Dt.text=été€
-Dt.last=1'''


def test_an_argument_file(launch, classes, runtime, tmp_path):
    app = tmp_path / 'app'
    app.mkdir()
    (app / 'opts.txt').write_text(ARGUMENT_FILE, encoding='utf-8')
    (app / 'path.txt').write_text(str(tmp_path) + '\n')
    parameters = '-Dt.before=1 @%APPDIR%/opts.txt --module-path @%APPDIR%/path.txt -Dt.after=2'
    through_launcher = launch(settings_text(classes, OPTIONS_MAIN, parameters, **only(runtime)))
    through_java = run_java(runtime, ['-cp', str(classes), '-Dt.before=1', f'@{app}/opts.txt', '--module-path',
                                      f'@{app}/path.txt', '-Dt.after=2', OPTIONS_MAIN])
    assert_same(through_launcher, through_java)
    printed = through_java.stdout.decode()
    assert 't.joined= 66 69 72 73 74 20 73 65 63 6f 6e 64\n' in printed and 't.cut' not in printed


def edges_of_pieces():
    """NUL bytes, which end each part of an item, and an item ending at the last
    byte of java's first 4,096-byte piece, followed by a comment."""
    head = b'-Dt.a=a\0b"c" -Dt.b=d\0e -Dt.c=f\0\0 -Dt.d=g\0"h"i "-Dt.e=j\\\0k" -Dt.f=\0\n-Dt.p='
    return head + b'x' * (4096 - len(head)) + b'#comment\n-Dt.q=z\n'


def test_nul_bytes_and_a_comment_after_a_piece(launch, classes, runtime, tmp_path):
    app = tmp_path / 'app'
    app.mkdir()
    (app / 'edges.txt').write_bytes(edges_of_pieces())
    through_launcher = launch(settings_text(classes, OPTIONS_MAIN, '@%APPDIR%/edges.txt', **only(runtime)))
    through_java = run_java(runtime, ['-cp', str(classes), f'@{app}/edges.txt', OPTIONS_MAIN])
    assert_same(through_launcher, through_java)
    assert through_launcher.stderr == through_java.stderr == b''
    printed = through_java.stdout.decode()
    assert 't.a= 61 63\n' in printed and 't.e= 6a 6b\n' in printed and 't.q' not in printed
    assert ' 78 2d 44 74 2e 71 3d 7a\n' in printed  # "-Dt.q=z" joined the item the piece ended in


def test_an_argument_file_larger_than_java_reads_is_refused_by_its_size(launch, classes, tmp_path):
    """As java refuses it: "Error: Argument file size should not be larger than 2147483647."."""
    app = tmp_path / 'app'
    app.mkdir()
    with open(app / 'big.txt', 'wb') as big:
        big.truncate(2 ** 31)   # sparse: reading it would take seconds and gigabytes
        big.seek(2 ** 31)
        big.write(b' -Dt.past=1\n')
    result = launch(settings_text(classes, OPTIONS_MAIN, '@%APPDIR%/big.txt'))
    assert (result.returncode, result.stdout, result.stderr.decode()) == (
        255, b'', f'The argument file {app}/big.txt named in Virtual Machine Parameters is larger than '
                  '2147483647 bytes.\n')


@pytest.mark.parametrize('form', ['-cp', '-classpath', '--class-path', '--class-path='])
def test_the_class_path_option_comes_after_the_setting(launch, classes, runtime, tmp_path, form):
    extra = tmp_path / 'extra'
    extra.mkdir()
    option = f'{form}{extra}' if form.endswith('=') else f'{form} {extra}'
    through_launcher = launch(settings_text(classes, OPTIONS_MAIN, f'-cp /stale {option} -Dt.x=1',
                                            **only(runtime)))
    through_java = run_java(runtime, ['-cp', f'{classes}:{extra}', '-Dt.x=1', OPTIONS_MAIN])
    assert_same(through_launcher, through_java)


@pytest.mark.parametrize('form', ['-cp', '-classpath', '--class-path=', '-Djava.class.path='])
def test_the_class_path_option_alone_is_a_class_path(launch, classes, runtime, tmp_path, form):
    class_path = f'{classes}:{tmp_path}'
    option = f'{form}{class_path}' if form.endswith('=') else f'{form} {class_path}'
    through_launcher = launch(settings_text('', OPTIONS_MAIN, option, **only(runtime)))
    through_java = run_java(runtime, ['-cp', class_path, OPTIONS_MAIN])
    assert_same(through_launcher, through_java)


@pytest.mark.parametrize('kind', ['-client', '-server'])
def test_a_vm_library_kind_is_never_handed_to_the_machine(launch, classes, runtime, tmp_path, kind):
    trace = tmp_path / 'trace.txt'
    through_launcher = launch(settings_text(classes, OPTIONS_MAIN, f'{kind} -Dt.x=1', **only(runtime)),
                              env={'JAVA_LAUNCHER_TRACE': str(trace)})
    through_java = run_java(runtime, ['-cp', str(classes), kind, '-Dt.x=1', OPTIONS_MAIN])
    assert_same(through_launcher, through_java)
    # These runtimes have only the server library: -client is dropped, as java drops it.
    loaded = [line for line in trace.read_text().splitlines() if line.startswith('VM library loaded: ')]
    assert len(loaded) == 1 and loaded[0].endswith('/lib/server/libjvm.so')


MESSAGES = [
    ('--add-opens', 'The option --add-opens in Virtual Machine Parameters needs a value after it.'),
    ('-p -Dx=1', 'The option -p in Virtual Machine Parameters needs a value after it.'),
    ('-Dx=1 -cp', 'The option -cp in Virtual Machine Parameters needs a value after it.'),
    ('--version', "The option --version in Virtual Machine Parameters is one of the java command's own and has "
                  'no meaning here.'),
    ('-m app/app.Main', 'The option -m in Virtual Machine Parameters cannot name the main module: '
                        'use the setting Main Module.'),
    ('-jar app.jar', 'The option -jar in Virtual Machine Parameters cannot name the main JAR: '
                     'put the JAR in Class Path.'),
    ('@/no/such/options.txt', 'The argument file /no/such/options.txt named in Virtual Machine Parameters '
                              'cannot be read.'),
]


@pytest.mark.parametrize('parameters, message', MESSAGES, ids=[case[0] for case in MESSAGES])
def test_what_cannot_be_taken_is_named(launch, classes, runtime, parameters, message):
    result = launch(settings_text(classes, OPTIONS_MAIN, parameters, **only(runtime)))
    assert (result.returncode, result.stdout, result.stderr.decode()) == (255, b'', message + '\n')
