"""Settings files and runtimes that are not what they should be: the launcher
ends in time with a clear message, or reads what a Windows reader would."""
import os

import pytest

from linux_rig import report, settings_text

NO_CLASS_PATH = b'Java Class Path was not specified in INI file.\n'


def test_a_nul_ends_each_value_and_nothing_hangs(launch, classes):
    settings = settings_text(classes, 'com.example.fixture.Args\0.Junk', parameters='-Dx=1\0 -Dy=2',
                             minimum='\0 99', maximum='99\0 1', preferred='\0;1.5')
    result = launch(settings, ['a'])
    assert result.returncode == 0, result.stderr.decode(errors='replace')
    values, arguments = report(result)
    assert (values['x'], values['y'], arguments) == ('1', 'null', ['a'])


@pytest.mark.parametrize('kind', ['fifo', 'link to /dev/zero', 'directory'])
def test_a_settings_file_that_is_no_regular_file_is_missing(launch, tmp_path, kind):
    directory = tmp_path / 'app'
    directory.mkdir()
    ini = directory / 'app.ini'
    {'fifo': lambda: os.mkfifo(ini), 'link to /dev/zero': lambda: ini.symlink_to('/dev/zero'),
     'directory': ini.mkdir}[kind]()
    result = launch(None)
    assert (result.returncode, result.stderr) == (255, NO_CLASS_PATH)


def private_runtime(directory, vm_library):
    """A runtime home beside the launcher whose lib/server/libjvm.so is vm_library
    (a path to link to, or bytes); returns the library's path."""
    library = directory / 'lib' / 'server' / 'libjvm.so'
    library.parent.mkdir(parents=True)
    (directory / 'lib' / 'libjava.so').write_bytes(b'only its presence marks a runtime')
    if isinstance(vm_library, bytes):
        library.write_bytes(vm_library)
    else:
        library.symlink_to(vm_library)
    return library


LIBM = '/lib/x86_64-linux-gnu/libm.so.6'


@pytest.mark.parametrize('vm_library, message', [
    (b'no library at all\n' * 20, b'Failed to load Java VM library: {0} ({0}: invalid ELF header).\n'),
    # The launcher itself does not load libm: the loader names it by the runtime's path.
    (LIBM, b'Cannot find CreateJavaVM JNI: {0}: undefined symbol: JNI_CreateJavaVM.\n'),
], ids=['not a library', 'no JNI entry points'])
def test_a_vm_library_that_cannot_serve_is_explained_by_the_loader(launch, classes, tmp_path, vm_library,
                                                                  message):
    library = private_runtime(tmp_path / 'app', vm_library)
    result = launch(settings_text(classes))
    assert (result.returncode, result.stderr) == (255, message.replace(b'{0}', bytes(library)))


def test_a_trace_named_by_a_pipe_is_left_alone(launch, classes, tmp_path):
    fifo = tmp_path / 'trace.fifo'
    os.mkfifo(fifo)
    reader = os.open(fifo, os.O_RDONLY | os.O_NONBLOCK)
    try:
        result = launch(settings_text(classes), ['a'], env={'JAVA_LAUNCHER_TRACE': str(fifo)})
        assert result.returncode == 0 and report(result)[1] == ['a']
        assert os.read(reader, 4096) == b''   # nothing written, and no writer left
    finally:
        os.close(reader)
