"""[Application] under Wine, through the jvm.dll double: one running instance
that takes later starts' exact UTF-16 arguments on a thread of its own, a
second start that never loads jvm.dll, and a restart on an exit code. The
first start runs in the background (main waits for a file); the double
records every process's events in one file."""
import os
import re
import signal
import subprocess
import time

import pytest

from wine import (MINUS_ONE, RIG_EXE, SETTINGS, Run, MessageBox, install_launcher, install_runtime, jvm_double_env,
                  read_record, unescape, windows_path)

METHOD = 'Single Instance Method=com.example.Main.openAgain\n'
# Spaces, quotes, characters the code page has and has not (outside the BMP
# too), an empty one and a relative path, split as the launcher splits them
# (a quote inside an argument that does not begin with one is its own).
TAIL = ' "two words" say"hi" caf\u00e9 \u0141ukasz.txt \U0001F600 \u5e94\u7528 "" docs\\report.txt'
ARGUMENTS = ['two words', 'say"hi"', 'caf\u00e9', '\u0141ukasz.txt', '\U0001F600', '\u5e94\u7528', '',
             'docs\\report.txt']


def text_of(value):
    """A recorded Java string as Python text: the code page's bytes or UTF-16 units."""
    data = bytes.fromhex(value['hex'])
    return data.decode('utf-16-le') if value['encoding'] == 'UTF-16LE' else data.decode('cp1252')


def parse_rig(output, errors=b''):
    run = Run(output=output.decode('latin-1'), errors=errors)
    for line in run.output.splitlines():
        parts = line.split('\t')
        if parts[0] == 'box' and len(parts) == 4:
            run.boxes.append(MessageBox(parts[1], unescape(parts[2]), unescape(parts[3])))
        elif parts[0] == 'exit':
            run.exit_code = int(parts[1], 16)
    return run


class Application:
    """app.exe with a private runtime, the double recording to one file, and
    main waiting until the file `quit` is there."""

    def __init__(self, wine, tmp_path, application='Single Instance=true\n' + METHOD, launcher=None, **double):
        self.wine = wine
        self.directory = tmp_path / 'app'
        settings = SETTINGS % ('app.jar', 'com.example.Main', '') + '[Application]\n' + application
        self.exe = install_launcher(self.directory, ini=settings, **({'launcher': launcher} if launcher else {}))
        install_runtime(self.directory / 'jre')
        self.record = tmp_path / 'record.jsonl'
        self.quit_file = tmp_path / 'quit'
        self.env = jvm_double_env(self.record, main_until=windows_path(self.quit_file), record_load=1, **double)
        self.background = []

    def command_line(self, tail, program=None):
        return '"%s"%s' % (program or windows_path(self.exe), tail)

    def run(self, tail='', cwd=None, env=None, program=None):
        return self.wine.run(self.exe, self.command_line(tail, program), cwd=cwd, wide=True,
                             env=dict(self.env, **(env or {})), timeout_ms=60000)

    def start(self, tail='', timeout_ms=180000, env=None):
        """Starts the launcher through rig.exe without waiting for it."""
        args = ['wine', RIG_EXE, '--timeout', str(timeout_ms), '--wide', '1', windows_path(self.exe),
                self.command_line(tail)]
        process = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                   env=dict(self.wine.env, **self.env, **(env or {})))
        self.background.append(process)
        return process

    def finish(self, process, timeout=120):
        """Lets main return, and what rig.exe saw of the start."""
        self.quit_file.touch()
        output, errors = process.communicate(timeout=timeout)
        assert b'started' in output.splitlines(), 'Wine did not start the program: %r' % output
        return parse_rig(output, errors)

    def events(self, *kinds):
        return [e for e in read_record(self.record) if e['event'] in kinds]

    def wait_for(self, kind, count, timeout=90):
        deadline = time.monotonic() + timeout
        while len(self.events(kind)) < count:
            if time.monotonic() > deadline:
                raise AssertionError('%d %s events did not come: %r' % (count, kind, read_record(self.record)))
            time.sleep(0.1)
        return self.events(kind)

    def close(self):
        self.quit_file.touch()
        for process in self.background:
            if process.poll() is None:
                try:
                    process.communicate(timeout=60)
                except subprocess.TimeoutExpired:
                    process.kill()
        misused = [e for e in read_record(self.record) if e['event'] in ('misuse', 'trap')]
        assert misused == []


@pytest.fixture
def application(wine, tmp_path):
    made = []

    def make(**settings):
        made.append(Application(wine, tmp_path, **settings))
        return made[-1]
    yield make
    for app in made:
        app.close()


def test_a_second_start_hands_over_exactly_what_main_would_receive_and_loads_no_runtime(application, tmp_path):
    app = application()
    first = app.start(TAIL)
    [main] = app.wait_for('main', 1)
    assert [text_of(a) for a in main['args']] == ARGUMENTS
    folder = tmp_path / 'Данные'
    folder.mkdir()
    second = app.run(TAIL, cwd=folder)
    assert (second.exit_code, second.boxes) == (0, [])
    [again] = app.wait_for('again', 1)
    assert again['args'] == main['args']
    assert text_of(again['directory']) == windows_path(folder)
    assert (again['attachedThread'], again['frames']) == (True, 1)
    [attach] = app.events('attach')
    assert (attach['daemon'], attach['name'], attach['mainEntered']) == (True, 'Single Instance hand-over', True)
    # Only the first start loaded jvm.dll.
    assert len(app.events('loaded')) == 1
    assert app.finish(first).exit_code == 0


def test_a_start_through_the_path_in_other_letters_is_the_same_application(application):
    app = application()
    first = app.start(' first')
    app.wait_for('main', 1)
    second = app.run(' second', program=windows_path(app.exe).upper())
    assert second.exit_code == 0
    [again] = app.wait_for('again', 1)
    assert [text_of(a) for a in again['args']] == ['second']
    assert app.finish(first).exit_code == 0


def test_twenty_starts_at_once_leave_one_instance_that_receives_the_others(application):
    app = application()
    starts = [app.start(' start-%d' % i) for i in range(20)]
    [main] = app.wait_for('main', 1, timeout=180)
    instance_argument = text_of(main['args'][0])
    received = [text_of(e['args'][0]) for e in app.wait_for('again', 19, timeout=180)]
    assert sorted(received + [instance_argument]) == sorted('start-%d' % i for i in range(20))
    assert len(app.events('loaded')) == 1
    # The others have ended, with 0; then the instance ends too.
    runs = [app.finish(process) for process in starts]
    assert sorted(run.exit_code for run in runs) == [0] * 20
    assert len(app.events('main')) == 1


def test_an_instance_that_ended_abruptly_leaves_nothing_that_stops_the_next_start(application):
    app = application()
    # rig.exe ends the first instance with TerminateProcess when its time is up.
    first = app.start(' first', timeout_ms=8000)
    app.wait_for('main', 1)
    output, _ = first.communicate(timeout=120)
    assert parse_rig(output).exit_code is None and b'timeout' in output
    second = app.start(' second')
    mains = app.wait_for('main', 2)
    assert [text_of(m['args'][0]) for m in mains] == ['first', 'second']
    assert app.run(' third').exit_code == 0
    assert [text_of(e['args'][0]) for e in app.wait_for('again', 1)] == ['third']
    assert app.finish(second).exit_code == 0


def test_an_exception_of_the_method_is_described_and_the_next_hand_over_comes(application):
    app = application(again_throws=1)
    first = app.start(' first')
    app.wait_for('main', 1)
    assert app.run(' throws').exit_code == 0
    assert app.run(' after').exit_code == 0
    app.wait_for('again', 2)
    kinds = [(e['event'], e.get('exception')) for e in app.events('again', 'describe')]
    assert kinds == [('again', None), ('describe', 'java/lang/RuntimeException'), ('again', None)]
    assert app.finish(first).exit_code == 0


def test_a_hand_over_while_the_machine_starts_waits_for_main(application):
    app = application(create_sleep_ms=4000)
    first = app.start(' first')
    app.wait_for('loaded', 1)
    second = app.run(' early')
    assert second.exit_code == 0
    assert app.events('main', 'again') == [], 'delivered before main'
    [again] = app.wait_for('again', 1)
    assert [e['event'] for e in app.events('main', 'again')] == ['main', 'again'] and again['mainEntered']
    assert app.finish(first).exit_code == 0


@pytest.mark.parametrize('form', ['arguments', 'none'])
def test_the_method_with_arguments_alone_or_none_at_all(application, tmp_path, form):
    trace = tmp_path / 'trace.txt'
    app = application(again=form)
    first = app.start(' first', env={'JAVA_LAUNCHER_TRACE': windows_path(trace)})
    app.wait_for('main', 1)
    assert app.run(' one').exit_code == 0
    assert app.run(' two').exit_code == 0
    message = ('The Single Instance Method com.example.Main.openAgain cannot be called: it must be a static void '
               'method of a class the application loads, taking (String[] arguments, String workingDirectory) or '
               '(String[] arguments). Hand-overs are dropped.\n')
    if form == 'arguments':
        agains = app.wait_for('again', 2)
        assert [(text_of(e['args'][0]), e['directory']) for e in agains] == [('one', None), ('two', None)]
    deadline = time.monotonic() + 60
    while trace.read_text(encoding='latin-1').count('hand-over received') < 2 and time.monotonic() < deadline:
        time.sleep(0.1)
    run = app.finish(first)
    text = trace.read_text(encoding='latin-1')
    assert text.count('message: ' + message) == (1 if form == 'none' else 0)
    assert (message.encode() in run.errors) == (form == 'none')
    assert run.exit_code == 0


def test_an_instance_that_does_not_answer_is_said_and_no_second_one_starts(application, tmp_path):
    app = application()
    first = app.start(' first')
    app.wait_for('main', 1)
    # The instance's Linux process, stopped: it holds its claim and answers nothing.
    found = subprocess.run(['pgrep', '-f', '^' + re.escape(windows_path(app.exe))], capture_output=True, text=True)
    pids = [int(p) for p in found.stdout.split()]
    if len(pids) != 1:
        pytest.skip('the instance\'s Linux process cannot be told apart: %r' % found.stdout)
    os.kill(pids[0], signal.SIGSTOP)
    try:
        second = app.run(' second')
    finally:
        os.kill(pids[0], signal.SIGCONT)
    assert [(b.owner, b.text) for b in second.boxes] == \
        [('(none)', b'app is running already, but did not answer within 5 seconds.\n')]
    assert second.exit_code == MINUS_ONE
    assert app.finish(first).exit_code == 0
    assert app.events('again') == [] and len(app.events('main')) == 1


def test_without_a_method_the_instance_comes_to_the_front(application, wine, tmp_path):
    app = application(application='Single Instance=true\n', app_window_ms=1, watch_foreground=1)
    first = app.start(' first')
    app.wait_for('app_window', 1)
    # Another program's window takes the front.
    other = Application(wine, tmp_path / 'other', application='', app_window_ms=1)
    other.record = app.record.parent / 'other.jsonl'
    other.env = jvm_double_env(other.record, main_until=windows_path(app.quit_file), app_window_ms=1)
    other_process = other.start(' other')
    other.wait_for('app_window', 1)
    deadline = time.monotonic() + 30
    while [e['ours'] for e in app.events('foreground')][-1:] != [False] and time.monotonic() < deadline:
        time.sleep(0.1)
    if [e['ours'] for e in app.events('foreground')][-1:] != [False]:
        pytest.skip("Wine did not give another program's window the front")
    assert app.run(' again').exit_code == 0
    deadline = time.monotonic() + 30
    while [e['ours'] for e in app.events('foreground')][-1:] != [True] and time.monotonic() < deadline:
        time.sleep(0.1)
    assert [e['ours'] for e in app.events('foreground')][-1] is True
    assert app.events('again', 'attach') == []
    assert app.finish(first).exit_code == 0
    other.finish(other_process)


def test_restart_on_the_exit_code_starts_the_executable_again(application, tmp_path):
    app = application(application='Single Instance=true\nRestart Exit Code=42\n' + METHOD, exit_code=42,
                      exit_mark=windows_path(tmp_path / 'updated'))
    first = app.start(TAIL)
    # The first process ends with 0 once it has started the second, which is
    # an ordinary start: it loads the runtime and becomes the instance.
    mains = app.wait_for('main', 2)
    assert [e['code'] for e in app.events('exit')] == [42] and app.events('exit')[0]['hook']
    assert mains[0]['args'] == mains[1]['args'] and [text_of(a) for a in mains[1]['args']] == ARGUMENTS
    assert len({e['process'] for e in app.events('loaded')}) == 2
    assert app.run(' handed').exit_code == 0
    assert [text_of(e['args'][0]) for e in app.wait_for('again', 1)] == ['handed']
    # Under Wine the second process holds rig.exe's output too: it ends first.
    assert app.finish(first).exit_code == 0


def test_another_exit_code_passes_through(application, tmp_path):
    app = application(application='Restart Exit Code=7\n', exit_code=5, exit_mark=windows_path(tmp_path / 'updated'))
    run = app.run(' a')
    assert (run.exit_code, run.boxes) == (5, [])
    assert len(app.events('main')) == 1 and len(app.events('loaded')) == 1


def test_a_settings_file_without_the_section_starts_as_before(application):
    app = application(application='')
    first, second = app.start(' one'), app.start(' two')
    app.wait_for('main', 2)
    assert app.finish(first).exit_code == 0 and app.finish(second).exit_code == 0
    assert app.events('again', 'attach') == []
