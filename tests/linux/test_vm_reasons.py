"""A machine that cannot start says why on standard error, once, and the
launcher's message follows; the exit codes stay the machine's."""
import pytest

from linux_rig import settings_text
from test_launch import only

CREATE_FAILED = b'JNI exception: failed to create the Java VM.\n'


def test_an_unknown_option_is_named_once(launch, classes, runtime):
    result = launch(settings_text(classes, parameters='-XX:+UseFooBar', **only(runtime)))
    assert result.returncode == 255
    assert result.stderr.count(b"Unrecognized VM option 'UseFooBar'") == 1
    assert result.stderr.endswith(CREATE_FAILED)


def test_a_missing_module_ends_the_process_with_the_machines_code(launch, classes, runtime):
    result = launch(settings_text(classes, parameters='--add-modules=nosuch', **only(runtime)))
    # The machine prints this one on its standard output.
    assert result.returncode == 1
    assert (result.stdout + result.stderr).count(b'Module nosuch not found') == 1
    assert result.stderr.endswith(CREATE_FAILED)


def test_a_heap_that_cannot_be_reserved(launch, classes, runtime):
    result = launch(settings_text(classes, parameters='-Xmx200t', **only(runtime)))
    said = result.stdout + result.stderr
    if b'Could not reserve enough space' not in said:
        pytest.skip('this machine reserves a 200 TB heap (overcommit): exit code %d' % result.returncode)
    assert said.count(b'Could not reserve enough space') == 1
    assert result.returncode == 1 and result.stderr.endswith(CREATE_FAILED)
