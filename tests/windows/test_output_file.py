"""The application's output in a file under Wine: the window flavour started
without standard handles (as from the desktop) gives what the jvm.dll double
writes to them, before and after main, to Output File; the box that tells of
a failure still has the machine's words, and names the file."""
import re

import pytest

from wine import CONSOLE_LAUNCHER_EXE, MINUS_ONE, events, launch_application, windows_path

HEADING = re.compile(rb'\d{4}-\d\d-\d\d \d\d:\d\d:\d\d (.*)$')
WRITES = 'T'


def launch(wine, tmp_path, extra='', no_std=True, **double):
    settings = '[Application]\nOutput File=%LOGS%\\MyApp\\logs\\output.log\n' + extra
    return launch_application(wine, tmp_path, extra_settings=settings, no_std=no_std,
                              env={'LOGS': windows_path(tmp_path / 'local')}, writes=WRITES, **double)


def log_of(tmp_path):
    return tmp_path / 'local' / 'MyApp' / 'logs' / 'output.log'


def lines_of(tmp_path):
    """The lines, whether CR LF (the double's, the launcher's) or LF (the machine's hook) ends them."""
    return log_of(tmp_path).read_bytes().replace(b'\r\n', b'\n').split(b'\n')


def test_output_before_and_after_main_and_an_exception(wine, tmp_path):
    run = launch(wine, tmp_path, says='said through the hook', main_throws=1)
    assert run.exit_code == MINUS_ONE
    assert [b.text for b in run.boxes] == [
        b'Exception in thread "main" java.lang.RuntimeException: thrown by main\n'
        b'\tat com.example.Main.main(Main.java:3)\n\tat com.example.Main.run(Main.java:7)\n'
        b'\n\nThe application\'s output is in %s.' % windows_path(log_of(tmp_path)).encode()]
    lines = lines_of(tmp_path)
    assert HEADING.match(lines[0]).group(1) == windows_path(tmp_path / 'app' / 'app.exe').encode()
    assert lines[1:] == [b'T: created, stdout', b'T: created, stderr', b'said through the hook 42',
                         b'T: main, stdout', b'T: main, stderr',
                         b'Exception in thread "main" java/lang/RuntimeException: thrown by main', b'']


def test_handles_of_its_own_are_kept(wine, tmp_path):
    run = launch(wine, tmp_path, launcher=CONSOLE_LAUNCHER_EXE, no_std=False)
    assert (run.boxes, run.exit_code) == ([], 0)
    assert b'T: main, stdout' in run.errors or b'T: main, stderr' in run.errors
    assert not (tmp_path / 'local').exists()


def test_system_exit_loses_nothing_and_each_start_appends(wine, tmp_path):
    launch(wine, tmp_path, exit_code=3, exit_mark=windows_path(tmp_path / 'exited-once'))
    # Much written just before System.exit is still in the pipe when the
    # machine's exit hook runs.
    run = launch(wine, tmp_path, exit_code=4, exit_mark=windows_path(tmp_path / 'exited-twice'), write_bytes=64 * 4096)
    assert run.exit_code == 4 and [e['code'] for e in events(run, 'exit')] == [3, 4]
    lines = lines_of(tmp_path)
    assert [i for i, line in enumerate(lines) if HEADING.match(line)] == [0, 5]
    assert lines[4] == lines[9] == b'T: main, stderr'
    assert lines[10:] == [b'x' * 62] * 4096 + [b'']


def test_the_box_keeps_the_machines_words_and_names_the_file(wine, tmp_path):
    run = launch(wine, tmp_path, abort_says='Error occurred during initialization of boot layer\r\n')
    assert run.exit_code == 1
    assert [b.text for b in run.boxes] == [
        b'JNI exception: failed to create the Java VM.\n'
        b'T: created, stdout\r\nT: created, stderr\r\nError occurred during initialization of boot layer\r\n'
        b'\n\nThe application\'s output is in %s.' % windows_path(log_of(tmp_path)).encode()]
    assert lines_of(tmp_path)[-2] == b'Error occurred during initialization of boot layer'


def test_a_run_stops_at_twice_the_limit_and_a_larger_file_is_renamed(wine, tmp_path):
    run = launch(wine, tmp_path, extra='Output File Limit=2000\n', write_bytes=100000)
    assert run.exit_code == 0
    stop = (b'The output of this run reached twice Output File Limit: '
            b'the rest is not written.\r\n')
    text = log_of(tmp_path).read_bytes()
    assert text.endswith(stop) and len(text) == 4000 + len(stop)
    launch(wine, tmp_path, extra='Output File Limit=2000\n')
    assert (log_of(tmp_path).parent / 'output.log.1').read_bytes() == text
    assert HEADING.match(lines_of(tmp_path)[0])


def test_a_folder_that_cannot_be_made_leaves_the_application_running(wine, tmp_path):
    (tmp_path / 'local').mkdir()
    (tmp_path / 'local' / 'MyApp').write_bytes(b'a file where the folder would be')
    trace = tmp_path / 'trace.txt'
    run = launch_application(
        wine, tmp_path, no_std=True, writes=WRITES,
        extra_settings='[Application]\nOutput File=%LOGS%\\MyApp\\logs\\output.log\n',
        env={'LOGS': windows_path(tmp_path / 'local'), 'JAVA_LAUNCHER_TRACE': windows_path(trace)})
    assert (run.boxes, run.exit_code) == ([], 0)
    log = windows_path(tmp_path / 'local' / 'MyApp' / 'logs' / 'output.log')
    assert ('output file %s: its folder cannot be made' % log).encode() in trace.read_bytes()
