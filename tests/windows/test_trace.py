"""The trace goes only where a write cannot block: a regular file or the
console. A pipe, however it is held, is left alone and the launch goes on."""
import os

import pytest

from wine import events, launch_application, windows_path


def filled_fifo(path):
    """A FIFO whose reader holds it open and reads nothing, its buffer full:
    one more byte written would wait for good."""
    os.mkfifo(path)
    reader = os.open(path, os.O_RDONLY | os.O_NONBLOCK)
    writer = os.open(path, os.O_WRONLY | os.O_NONBLOCK)
    try:
        while True:
            os.write(writer, b'x' * 4096)
    except BlockingIOError:
        pass
    return reader, writer


@pytest.mark.parametrize('held', ['buffer full', 'reader waiting'])
def test_a_pipe_is_no_trace_and_the_launch_goes_on(wine, tmp_path, held):
    fifo = tmp_path / 'trace.fifo'
    if held == 'buffer full':
        descriptors = filled_fifo(fifo)
    else:
        os.mkfifo(fifo)
        descriptors = (os.open(fifo, os.O_RDONLY | os.O_NONBLOCK),)
    try:
        run = launch_application(wine, tmp_path, ' a', env={'JAVA_LAUNCHER_TRACE': windows_path(fifo)},
                                 timeout_ms=10000)
        assert run.exit_code == 0 and run.boxes == []
        assert [[bytes.fromhex(a['hex']) for a in e['args']] for e in events(run, 'main')] == [[b'a']]
        unread = b''
        try:
            while chunk := os.read(descriptors[0], 65536):
                unread += chunk
        except BlockingIOError:
            pass
        assert unread.strip(b'x') == b''
    finally:
        for descriptor in descriptors:
            os.close(descriptor)


def test_a_regular_file_gets_the_trace(wine, tmp_path):
    trace = tmp_path / 'trace.txt'
    run = launch_application(wine, tmp_path, ' a', env={'JAVA_LAUNCHER_TRACE': windows_path(trace)})
    assert run.exit_code == 0
    assert trace.read_text(encoding='latin-1').startswith('launch of ')
