"""[Application]: one running instance per user that takes the arguments of
later starts, and a restart on an exit code, against the real runtimes. The
fixture is com.example.fixture.Again; each test has a runtime folder of its
own (XDG_RUNTIME_DIR) for the application's channel."""
import os
import shutil
import signal
import socket
import struct
import subprocess
import time

import pytest

from linux_rig import RUNTIMES, settings_text

AGAIN = 'com.example.fixture.Again'
METHOD = AGAIN + '.openAgain'
# Spaces, quotes, characters outside ASCII (one outside the BMP), an empty
# one, and a path relative to the second start's working directory.
ARGUMENTS = ['two words', 'say "hi"', "it's", 'grüße €', '😀', '', 'docs/report.txt']


def decode(field):
    return None if field == 'null' else ''.join(chr(int(c, 16)) for c in field.split())


class App:
    """A copy of the launcher with the Again fixture, started in the foreground
    (run) or the background (start, its output in files)."""

    def __init__(self, launcher, classes, directory):
        self.directory = directory
        (directory / 'app').mkdir(parents=True)
        self.exe = directory / 'app' / 'app'
        shutil.copy2(launcher, self.exe)
        self.classes = classes
        self.runtime_folder = directory / 'run'
        self.runtime_folder.mkdir(mode=0o700)
        self.env = {'PATH': os.environ.get('PATH', '/usr/bin:/bin'), 'LC_ALL': 'C.UTF-8',
                    'XDG_RUNTIME_DIR': str(self.runtime_folder)}
        self.started = []

    def configure(self, parameters='', application='Single Instance=true\nSingle Instance Method=%s\n' % METHOD,
                  runtime=None, minimum=''):
        minimum = runtime.version if runtime else minimum
        settings = settings_text(self.classes, AGAIN, parameters=parameters, minimum=minimum,
                                 maximum=runtime.version if runtime else '')
        (self.exe.parent / 'app.ini').write_text(settings + '[Application]\n' + application)

    def run(self, *arguments, cwd=None, env=None, timeout=60):
        return subprocess.run([str(self.exe), *arguments], capture_output=True, cwd=cwd,
                              env=dict(self.env, **(env or {})), timeout=timeout)

    def start(self, *arguments, name='first'):
        out = open(self.directory / (name + '.out'), 'wb')
        err = open(self.directory / (name + '.err'), 'wb')
        process = subprocess.Popen([str(self.exe), *arguments], stdout=out, stderr=err, env=self.env)
        process.name = name
        self.started.append(process)
        return process

    def output(self, process):
        return (self.directory / (process.name + '.out')).read_text()

    def errors(self, process):
        return (self.directory / (process.name + '.err')).read_text()

    @staticmethod
    def hex(text):
        return ' '.join('%x' % ord(c) for c in text)

    def lines(self, process):
        """The fixture's lines, each (kind, working directory, arguments)."""
        found = []
        for line in self.output(process).splitlines():
            fields = line.split('\t')
            if fields[0] in ('main', 'again'):
                found.append((fields[0], decode(fields[1]), [decode(f) for f in fields[2:]]))
        return found

    def wait_for(self, process, count, timeout=60):
        """Its first `count` lines, once it has printed them."""
        deadline = time.monotonic() + timeout
        while len(self.lines(process)) < count:
            if process.poll() is not None and len(self.lines(process)) < count:
                raise AssertionError('ended with %s: %s' % (process.returncode, self.errors(process)))
            if time.monotonic() > deadline:
                raise AssertionError('no %d lines in time: %r' % (count, self.output(process)))
            time.sleep(0.05)
        return self.lines(process)[:count]

    def quit(self, process, code=0):
        handed = self.run('quit', str(code))
        assert handed.returncode == 0, handed.stderr
        assert process.wait(timeout=60) == code

    def close(self):
        for process in self.started:
            if process.poll() is None:
                os.kill(process.pid, signal.SIGCONT)
                process.kill()
            process.wait()


@pytest.fixture
def app(launcher_binary, classes, tmp_path):
    made = App(launcher_binary, classes, tmp_path)
    yield made
    made.close()


def test_a_second_start_hands_over_its_arguments_and_working_directory(app, runtime, tmp_path):
    app.configure(runtime=runtime)
    first = app.start('first')
    assert app.wait_for(first, 1) == [('main', os.getcwd(), ['first'])]
    elsewhere = tmp_path / 'elsewhere'
    elsewhere.mkdir()
    second = app.run(*ARGUMENTS, cwd=elsewhere)
    assert (second.returncode, second.stdout, second.stderr) == (0, b'', b'')
    assert app.wait_for(first, 2)[1] == ('again', str(elsewhere), ARGUMENTS)
    app.quit(first, 3)
    assert app.lines(first)[2] == ('again', os.getcwd(), ['quit', '3'])


def test_twenty_starts_at_once_leave_one_instance_that_receives_the_others(app):
    app.configure()
    starts = [app.start('start-%d' % i, name='start-%d' % i) for i in range(20)]
    deadline = time.monotonic() + 120
    while sum(p.poll() is not None for p in starts) < 19 and time.monotonic() < deadline:
        time.sleep(0.1)
    running = [p for p in starts if p.poll() is None]
    assert len(running) == 1, [(p.name, p.returncode, app.errors(p)) for p in starts]
    assert [p.returncode for p in starts if p.poll() is not None] == [0] * 19
    instance = running[0]
    # Hand-overs that came while the machine started may be printed before main's line.
    lines = app.wait_for(instance, 20)
    assert [arguments for kind, _, arguments in lines if kind == 'main'] == [[instance.name]]
    assert sorted(a for kind, _, (a,) in lines if kind == 'again') == sorted(p.name for p in starts if p is not instance)
    app.quit(instance)


MODULAR_MAIN = """package again.mod;

public class Main {
    static final java.util.concurrent.CountDownLatch quit = new java.util.concurrent.CountDownLatch(1);

    public static void main(String[] args) throws Exception {
        System.out.println("main " + Main.class.getModule().getName());
        quit.await();
    }

    public static void openAgain(String[] args, String directory) {
        System.out.println("again " + Main.class.getModule().getName() + " " + String.join(",", args));
        if (args[0].equals("quit"))
            quit.countDown();
    }
}
"""


def module_path(tmp_path):
    """A folder of modules that holds again.mod, with MODULAR_MAIN."""
    sources = tmp_path / 'sources'
    (sources / 'again' / 'mod').mkdir(parents=True)
    (sources / 'module-info.java').write_text('module again.mod { }\n')
    (sources / 'again' / 'mod' / 'Main.java').write_text(MODULAR_MAIN)
    modules = tmp_path / 'modules'
    javac = [r.home / 'bin' / 'javac' for r in RUNTIMES if (r.home / 'bin' / 'javac').exists()][0]
    subprocess.run([str(javac), '--release', str(RUNTIMES[0].feature), '-d', str(modules / 'again.mod'),
                    *map(str, sources.rglob('*.java'))], check=True)
    return modules


def test_the_method_of_a_named_module_is_found_where_main_is(app, tmp_path):
    (app.exe.parent / 'app.ini').write_text(
        '[Java Runtime Environment]\nMain Module=again.mod/again.mod.Main\n'
        'Virtual Machine Parameters=--module-path=%s\n[Application]\nSingle Instance=true\n'
        'Single Instance Method=again.mod.Main.openAgain\n' % module_path(tmp_path))
    first = app.start('first')
    deadline = time.monotonic() + 60
    while 'main again.mod' not in app.output(first) and time.monotonic() < deadline:
        assert first.poll() is None, app.errors(first)
        time.sleep(0.05)
    assert app.run('a', 'b c').returncode == 0
    assert app.run('quit').returncode == 0
    assert first.wait(timeout=60) == 0
    assert app.output(first) == 'main again.mod\nagain again.mod a,b c\nagain again.mod quit\n'


def test_a_killed_instance_leaves_nothing_that_stops_the_next_start(app):
    app.configure()
    first = app.start('first')
    app.wait_for(first, 1)
    first.kill()
    first.wait()
    assert list(app.runtime_folder.glob('java-launcher-*.socket')), 'the socket is left behind'
    second = app.start('second', name='second')
    assert app.wait_for(second, 1) == [('main', os.getcwd(), ['second'])]
    assert app.run('more').returncode == 0
    assert app.wait_for(second, 2)[1][2] == ['more']
    app.quit(second)


def test_an_exception_of_the_method_is_described_and_the_instance_goes_on(app):
    app.configure(parameters='-Dagain.throwFirst=true')
    first = app.start('first')
    app.wait_for(first, 1)
    assert app.run('throws').returncode == 0
    assert app.run('after').returncode == 0
    assert [arguments for _, _, arguments in app.wait_for(first, 3)[1:]] == [['throws'], ['after']]
    described = ('Exception in thread "Single Instance hand-over" java.lang.IllegalStateException: '
                 'thrown by openAgain\n\tat com.example.fixture.Again.handle(Again.java:')
    assert described in app.errors(first)
    app.quit(first)


def test_a_hand_over_before_main_waits_for_it(app):
    # The method's class is not main's: called before main, it would run
    # while main's class still sleeps in its initialisation.
    app.configure(parameters='-Dagain.initSleep=2500',
                  application='Single Instance=true\nSingle Instance Method=%s$Early.openAgain\n' % AGAIN)
    first = app.start('first')
    while not list(app.runtime_folder.glob('java-launcher-*.socket')):
        assert first.poll() is None, app.errors(first)
        time.sleep(0.01)
    early = app.run('early')
    assert early.returncode == 0, early.stderr
    assert app.lines(first) == [], 'main ran already: the hand-over did not come first'
    assert sorted(app.wait_for(first, 2), key=str) == [('again', None, ['early']), ('main', os.getcwd(), ['first'])]
    assert 'early\tinitDone=true' in app.output(first)
    app.quit(first)


def test_an_instance_that_does_not_answer_is_said_and_no_second_one_starts(app):
    app.configure()
    first = app.start('first')
    app.wait_for(first, 1)
    os.kill(first.pid, signal.SIGSTOP)
    try:
        second = app.run('second', timeout=30)
    finally:
        os.kill(first.pid, signal.SIGCONT)
    assert (second.returncode, second.stdout) == (255, b'')
    assert second.stderr == b'app is running already, but did not answer within 5 seconds.\n'
    app.quit(first)
    assert [kind for kind, _, _ in app.lines(first)] == ['main', 'again']


@pytest.mark.parametrize('method', [AGAIN + '.openLater', AGAIN + '.print', 'com.example.NoSuchClass.open'])
def test_a_method_that_cannot_be_called_is_said_once_and_hand_overs_are_dropped(app, method):
    app.configure(application='Single Instance=true\nSingle Instance Method=%s\n' % method)
    first = app.start('first')
    app.wait_for(first, 1)
    assert app.run('one').returncode == 0
    assert app.run('two').returncode == 0
    message = ('The Single Instance Method %s cannot be called: it must be a static void method of a class the '
               'application loads, taking (String[] arguments, String workingDirectory) or (String[] arguments). '
               'Hand-overs are dropped.\n' % method)
    deadline = time.monotonic() + 30
    while message not in app.errors(first) and time.monotonic() < deadline:
        time.sleep(0.05)
    assert app.errors(first).count(message) == 1
    assert [kind for kind, _, _ in app.lines(first)] == ['main']
    first.kill()


def test_without_a_method_a_hand_over_only_ends_the_start(app):
    app.configure(application='Single Instance=true\n')
    first = app.start('first')
    app.wait_for(first, 1)
    assert app.run('again').returncode == 0
    assert first.poll() is None and [kind for kind, _, _ in app.lines(first)] == ['main']
    first.kill()


def send_raw(socket_path, data, linger=0.0):
    """Sends bytes to the instance as a start would, then what came back."""
    with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as peer:
        peer.settimeout(10)
        peer.connect(str(socket_path))
        peer.sendall(data)
        time.sleep(linger)
        peer.shutdown(socket.SHUT_WR)
        try:
            return peer.recv(16)
        except ConnectionResetError:   # closed with bytes it did not read
            return b''


def hand_over(arguments, directory=b'/'):
    texts = [directory] + [a.encode() for a in arguments]
    table = b''.join(struct.pack('<II', len(t), 0) for t in texts)
    total = 16 + len(table) + sum(map(len, texts))
    return b'JLHO' + struct.pack('<III', 1, total, len(arguments)) + table + b''.join(texts)


def test_hand_overs_that_are_not_whole_are_refused_and_the_instance_goes_on(app):
    app.configure()
    first = app.start('first')
    app.wait_for(first, 1)
    socket_path, = app.runtime_folder.glob('java-launcher-*.socket')
    good = hand_over(['raw'])
    assert send_raw(socket_path, good) == b'JLOK'
    too_large = b'JLHO' + struct.pack('<III', 1, (1 << 20) + 1, 0)
    # (What follows a whole hand-over on the connection is never read.)
    for bad in [b'garbage that is no hand-over', too_large, good[:-1], good[:10],
                good[:12] + struct.pack('<I', 1000) + good[16:], good[:4] + struct.pack('<I', 2) + good[8:]]:
        assert send_raw(socket_path, bad) == b'', bad
    # A start that connects and says nothing holds up the others for a while only.
    with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as silent:
        silent.connect(str(socket_path))
        assert app.run('after').returncode == 0
    assert [arguments for _, _, arguments in app.wait_for(first, 3)[1:]] == [['raw'], ['after']]
    app.quit(first)


def test_restart_on_the_exit_code_starts_an_ordinary_instance_again(app, tmp_path):
    mark = tmp_path / 'updated'
    app.configure(parameters='-Dagain.exitOnce=42 -Dagain.mark=%s -Dagain.returns=true -Dagain.show=%%AGAIN_ENV%%'
                  % mark, application='Single Instance=true\nRestart Exit Code=42\n')
    elsewhere = tmp_path / 'elsewhere'
    elsewhere.mkdir()
    trace = tmp_path / 'trace.txt'
    # The restarted process holds the output open: the run ends with both.
    result = app.run('a b', 'ü', cwd=elsewhere, env={'AGAIN_ENV': 'kept', 'JAVA_LAUNCHER_TRACE': str(trace)})
    assert (result.returncode, result.stderr) == (0, b'')
    assert mark.exists()
    lines = [line.split('\t') for line in result.stdout.decode().splitlines()]
    assert lines == [['main', app.hex(str(elsewhere)), app.hex('a b'), app.hex('ü')], ['show', 'kept']]
    text = trace.read_text()
    assert 'exit code 42: the application starts again' in text
    # The new start became the instance: the claim was given up before it.
    assert text.count('this process is the instance') == 2 and text.count('launch of ') == 2


def test_another_exit_code_passes_through_without_restart(app, tmp_path):
    mark = tmp_path / 'updated'
    app.configure(parameters='-Dagain.exitOnce=5 -Dagain.mark=%s' % mark, application='Restart Exit Code=7\n')
    result = app.run()
    assert (result.returncode, result.stdout, result.stderr) == (5, b'', b'')


def test_a_restart_that_cannot_be_started_says_why_and_ends_with_the_code(app):
    app.configure(application='Single Instance=true\nSingle Instance Method=%s\nRestart Exit Code=42\n' % METHOD)
    first = app.start('first')
    app.wait_for(first, 1)
    # An updater that took the executable away and put nothing in its place.
    app.exe.rename(app.exe.with_name('moved'))
    socket_path, = app.runtime_folder.glob('java-launcher-*.socket')
    assert send_raw(socket_path, hand_over(['quit', '42'])) == b'JLOK'
    assert first.wait(timeout=60) == 42
    assert app.errors(first) == 'app could not be started again: posix_spawn failed (error 2).\n'


@pytest.mark.parametrize('fault', ['mode 0755', 'another user', 'a link'])
def test_a_channel_folder_that_is_not_the_users_alone_is_refused(app, tmp_path, fault):
    folder = tmp_path / 'shared'
    if fault == 'a link':
        folder.symlink_to(app.runtime_folder)
        reason = 'is a link, which is never followed'
    else:
        folder.mkdir(mode=0o700)
        if fault == 'mode 0755':
            folder.chmod(0o755)
            reason = 'may be used by other users (its mode is wider than 0700)'
        else:
            if os.geteuid() != 0:
                pytest.skip('giving a folder to another user needs root')
            os.chown(folder, 65534, 65534)
            reason = 'belongs to another user'
    app.configure(minimum='99')
    result = app.run(env={'XDG_RUNTIME_DIR': str(folder)})
    assert (result.returncode, result.stderr.decode()) == \
        (255, 'app cannot tell whether it is running already: the folder %s %s.\n' % (folder, reason))
    assert list(folder.iterdir()) == ([] if fault != 'a link' else list(app.runtime_folder.iterdir()))


def test_without_a_runtime_folder_the_channel_is_in_a_folder_of_the_users_own(app, tmp_path):
    temporary = tmp_path / 'tmp'
    temporary.mkdir()
    app.env.pop('XDG_RUNTIME_DIR')
    app.env['TMPDIR'] = str(temporary)
    app.configure()
    first = app.start('first')
    app.wait_for(first, 1)
    assert app.run('second').returncode == 0
    folder = temporary / ('java-launcher-%d' % os.geteuid())
    assert (folder.stat().st_mode & 0o777, folder.stat().st_uid) == (0o700, os.geteuid())
    assert sorted(p.suffix for p in folder.iterdir()) == ['.lock', '.socket']
    app.quit(first)
    assert app.lines(first)[1][2] == ['second']


# Each message is the unit tests' to check; here: before any runtime is searched, and nothing made.
@pytest.mark.parametrize('application, message', [
    ('Single Instance=yes\n', 'The setting Single Instance in [Application] must be true, or empty, not "yes".'),
    ('Single Instance=true\nSingle Instance Method=openAgain\n',
     'The setting Single Instance Method in [Application] must name a class and its static method, '
     'as com.example.app.Main.openAgain, not "openAgain".'),
    ('Restart Exit Code=1.5\n',
     'The setting Restart Exit Code in [Application] must be a whole number other than 0, not "1.5".'),
    ('Single Instance=true\nSingle Instance Name= ""\n',
     'The setting Single Instance Name in [Application] must name the application, not be empty.'),
], ids=['yes', 'method without class', 'code 1.5', 'empty name'])
def test_settings_that_mean_nothing_are_named_before_any_runtime_is_searched(app, application, message):
    app.configure(application=application, minimum='99')
    result = app.run()
    assert (result.returncode, result.stderr.decode()) == (255, message + '\n')
    assert list(app.runtime_folder.iterdir()) == []


def test_empty_values_or_section_change_nothing(app):
    app.configure(application='Single Instance=\nSingle Instance Method=\nRestart Exit Code=\n',
                  parameters='-Dagain.returns=true')
    first, second = app.start('one'), app.start('two', name='second')
    assert (first.wait(60), second.wait(60)) == (0, 0)
    assert list(app.runtime_folder.iterdir()) == []


def test_a_name_of_its_own_makes_two_installations_one_application(app, launcher_binary, tmp_path):
    application = 'Single Instance=true\nSingle Instance Name=com.example.again\nSingle Instance Method=%s\n' % METHOD
    app.configure(application=application)
    other = app.directory / 'other'
    other.mkdir()
    shutil.copy2(launcher_binary, other / 'copy')
    shutil.copy2(app.exe.parent / 'app.ini', other / 'copy.ini')
    first = app.start('first')
    app.wait_for(first, 1)
    trace = tmp_path / 'trace.txt'
    result = subprocess.run([str(other / 'copy'), 'from the copy'], capture_output=True, timeout=60,
                            env=dict(app.env, JAVA_LAUNCHER_TRACE=str(trace)))
    assert result.returncode == 0
    assert app.wait_for(first, 2)[1][2] == ['from the copy']
    # The start that handed over looked for no runtime.
    text = trace.read_text()
    assert 'handed over to the running instance' in text and 'runtime' not in text and 'VM' not in text
    app.quit(first)


def test_an_exit_before_main_with_the_code_is_no_restart(app, tmp_path):
    # The runtime's own launcher helper ends the process with System.exit(1)
    # when the main module lacks the class: starting again would only fail again.
    (app.exe.parent / 'app.ini').write_text(
        '[Java Runtime Environment]\nMain Module=again.mod/again.mod.Missing\n'
        'Virtual Machine Parameters=--module-path=%s\n[Application]\nRestart Exit Code=1\n' % module_path(tmp_path))
    trace = tmp_path / 'trace.txt'
    result = app.run(env={'JAVA_LAUNCHER_TRACE': str(trace)})
    assert result.returncode == 1
    assert b'Could not find or load main class again.mod.Missing' in result.stderr
    time.sleep(1)
    assert trace.read_text().count('launch of ') == 1
