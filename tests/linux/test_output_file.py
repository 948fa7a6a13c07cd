"""The application's output in a file: when the launcher's standard output and
error are closed or /dev/null, what the machine and the application write,
before and after main, goes to Output File, after a heading; a file over the
limit at the start is renamed, and a run stops at twice the limit."""
import os
import re
import shutil
import subprocess

import pytest

from linux_rig import RUNTIMES, settings_text

OUTPUT_MAIN = 'com.example.fixture.Output'
HEADING = re.compile(r'\d{4}-\d\d-\d\d \d\d:\d\d:\d\d (/.*)$')
# The machine prints its flags while it starts, through the launcher's hook.
FLAGS = '-XX:+PrintCommandLineFlags'


@pytest.fixture
def start(launcher_binary, classes, tmp_path):
    """Runs the launcher with its standard output and error as `streams` says
    ('closed', 'null' or 'pipes'); returns (the completed run, the trace's text)."""
    def run(arguments=(), streams='null', output_file='%APPDIR%/logs/output.log', extra='', parameters=FLAGS,
            env=None, limit_file_size=None):
        app = tmp_path / 'app'
        app.mkdir(exist_ok=True)
        shutil.copy2(launcher_binary, app / 'app')
        (app / 'app.ini').write_text(
            settings_text(classes, OUTPUT_MAIN, parameters, minimum=RUNTIMES[-1].version) +
            f'[Application]\nOutput File={output_file}\n{extra}')
        trace = tmp_path / 'trace.txt'
        environment = {'PATH': os.environ.get('PATH', '/usr/bin:/bin'), 'LC_ALL': 'C.UTF-8',
                       'JAVA_LAUNCHER_TRACE': str(trace), **(env or {})}
        command = [str(app / 'app'), *arguments]
        if streams == 'closed':
            command = ['sh', '-c', 'exec "$@" >&- 2>&-', 'sh', *command]
        if limit_file_size:
            command = ['sh', '-c', f'ulimit -f {limit_file_size} && exec "$@"', 'sh', *command]
        where = subprocess.PIPE if streams == 'pipes' else subprocess.DEVNULL
        result = subprocess.run(command, stdout=where, stderr=where, env=environment, timeout=120)
        return result, trace.read_text() if trace.exists() else ''
    return run


def lines_of(path):
    return path.read_text().splitlines()


@pytest.mark.parametrize('streams', ['null', 'closed'])
def test_output_before_and_after_main_and_a_stack_trace(start, tmp_path, streams):
    result, trace = start(['throw'], streams)
    assert result.returncode == 255
    log = tmp_path / 'app' / 'logs' / 'output.log'
    lines = lines_of(log)
    assert HEADING.match(lines[0]).group(1) == str(tmp_path / 'app' / 'app')
    assert FLAGS in lines[1]
    assert lines[2:6] == ['static initializer, stdout', 'main, stdout', 'main, stderr',
                          'Exception in thread "main" java.lang.IllegalStateException: thrown by the fixture']
    assert lines[6].startswith('\tat com.example.fixture.Output.main(')
    assert f'output file {log}: takes what the process lacks\n' in trace


def test_each_start_appends_and_system_exit_loses_nothing(start, tmp_path):
    start(['exit=3'])
    # Much written just before System.exit is still in the pipe as the process ends.
    result, _ = start([f'bytes={64 * 4096}', 'exit=4'])
    assert result.returncode == 4
    lines = lines_of(tmp_path / 'app' / 'logs' / 'output.log')
    assert [line for line in lines if HEADING.match(line)] == [lines[0], lines[6]]
    assert lines[5] == lines[-1] == 'exiting'
    assert lines[11:-1] == ['x' * 63] * 4096


def test_streams_of_its_own_are_kept(start, tmp_path):
    result, trace = start(streams='pipes')
    assert result.stdout.decode().splitlines()[-1] == 'main returns'
    assert not (tmp_path / 'app' / 'logs').exists()
    assert "not needed: the streams are the process's own" in trace


def test_a_file_over_the_limit_is_renamed_at_the_start(start, tmp_path):
    log = tmp_path / 'app' / 'logs' / 'output.log'
    log.parent.mkdir(parents=True)
    (tmp_path / 'app' / 'logs' / 'output.log.1').write_text('the oldest\n')
    log.write_text('x' * 1001)
    start(extra='Output File Limit=1000\n')
    assert (tmp_path / 'app' / 'logs' / 'output.log.1').read_text() == 'x' * 1001
    assert HEADING.match(lines_of(log)[0])
    # At the limit, the file is kept and appended to.
    log.write_text('y' * 1000 + '\n')
    start(extra='Output File Limit=1001\n')
    assert lines_of(log)[0] == 'y' * 1000 and HEADING.match(lines_of(log)[1])


def test_a_run_stops_writing_at_twice_the_limit(start, tmp_path):
    result, trace = start(['bytes=100000'], extra='Output File Limit=2000\n')
    assert result.returncode == 0
    log = tmp_path / 'app' / 'logs' / 'output.log'
    text = log.read_text()
    stop = ('The output of this run reached twice Output File Limit: '
            'the rest is not written.\n')
    assert text.endswith(stop) and len(text) == 4000 + len(stop)
    assert text.count('x' * 63 + '\n') > 30


def test_a_full_disk_drops_the_output_and_the_application_runs_on(start, tmp_path):
    # A file size limit stands for a full disk: a write past it fails.
    log = tmp_path / 'app' / 'logs' / 'output.log'
    log.parent.mkdir(parents=True)
    log.write_text('x' * 9000)
    result, trace = start(['bytes=100000'], limit_file_size=8)
    assert result.returncode == 0
    assert 'output file: a write failed: output dropped' in trace
    assert 'exit code 0' in trace and log.stat().st_size == 9000


@pytest.mark.parametrize('output_file, said', [
    ('%APPDIR%/app.ini/logs/output.log', 'output file {app}/app.ini/logs/output.log: its folder cannot be made'),
    ('%APPDIR%', 'cannot be opened'),
])
def test_a_file_that_cannot_be_had_leaves_the_application_running(start, tmp_path, output_file, said):
    result, trace = start(output_file=output_file)
    assert result.returncode == 0
    assert said.format(app=tmp_path / 'app') in trace
    assert 'exit code 0' in trace


def test_a_limit_that_is_not_digits_is_named(start, tmp_path):
    result, _ = start(streams='pipes', extra='Output File Limit=10M\n')
    assert (result.returncode, result.stdout) == (255, b'')
    assert result.stderr.decode() == ('The setting Output File Limit is "10M": write a number of bytes, '
                                      'digits only.\n')
