"""A machine that cannot start says why on standard error, once; the
launcher's message follows when the creation fails, and a machine that ends
the process itself does so as under java. The exit codes stay the machine's."""
import subprocess

import pytest

from linux_rig import RUNTIMES, settings_text
from test_java_mains import java
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
    assert CREATE_FAILED not in result.stderr


def test_a_heap_that_cannot_be_reserved(launch, classes, runtime):
    result = launch(settings_text(classes, parameters='-Xmx200t', **only(runtime)))
    said = result.stdout + result.stderr
    if b'Could not reserve enough space' not in said:
        pytest.skip('this machine reserves a 200 TB heap (overcommit): exit code %d' % result.returncode)
    assert said.count(b'Could not reserve enough space') == 1
    assert result.returncode == 1 and CREATE_FAILED not in result.stderr


def test_a_print_longer_than_the_kept_tail_reaches_standard_output_whole(launch, classes, runtime):
    # All the flags in one print, the 70,000 characters of -XX:OnError among
    # them; without the shared archive no address in them changes between runs.
    parameters = ['-Xshare:off', '-XX:OnError=' + 'x' * 70000, '-XX:+PrintFlagsFinal']
    through_java = java(runtime, *parameters, '-cp', classes, 'com.example.fixture.Exit')
    assert through_java.stdout.count(b'x' * 70000) == 1
    result = launch(settings_text(classes, 'com.example.fixture.Exit', ' '.join(parameters), **only(runtime)))
    assert result.stdout == through_java.stdout
    assert result.returncode == through_java.returncode == 3


NEWER = 'public class Newer { public static void main(String[] a) {} }\n'
USES_MISSING = 'public class UsesMissing extends Gone { public static void main(String[] a) {} }\n'
GONE = 'public class Gone {}\n'


def compile_classes(tmp_path, release, sources):
    compilers = [r for r in RUNTIMES if r.feature >= release and (r.home / 'bin' / 'javac').exists()]
    if not compilers:
        pytest.skip('no JDK for Java %d under /usr/lib/jvm' % release)
    directory = tmp_path / ('classes%d' % release)
    directory.mkdir()
    for name, text in sources.items():
        (directory / (name + '.java')).write_text(text)
    subprocess.run([str(compilers[0].home / 'bin' / 'javac'), '--release', str(release), '-d', str(directory),
                    *sorted(str(p) for p in directory.glob('*.java'))], check=True)
    return directory


def test_a_class_for_a_newer_java_says_which_java_it_needs(launch, tmp_path):
    older = [r for r in RUNTIMES if r.feature < 25]
    if not older:
        pytest.skip('no runtime older than Java 25 under /usr/lib/jvm')
    classes = compile_classes(tmp_path, 25, {'Newer': NEWER})
    result = launch(settings_text(classes, 'Newer', **only(older[0])))
    assert result.returncode == 255
    assert result.stderr.count(b'UnsupportedClassVersionError') == 1
    assert result.stderr.endswith(
        b'Could not find the main class Newer.\n'
        b'The main class needs Java 25 or later, and the runtime that was chosen is Java %s. '
        b'The setting Minimum Version chooses the runtime.\n' % older[0].version.encode())


def test_a_missing_dependency_is_described_once(launch, tmp_path, runtime):
    classes = compile_classes(tmp_path, RUNTIMES[0].feature, {'UsesMissing': USES_MISSING, 'Gone': GONE})
    (classes / 'Gone.class').unlink()
    result = launch(settings_text(classes, 'UsesMissing', **only(runtime)))
    assert result.returncode == 255
    assert result.stderr.count(b'java.lang.NoClassDefFoundError: Gone') == 1
    assert result.stderr.endswith(b'Could not find the main class UsesMissing.\n')


def test_an_exception_out_of_main_is_described_once(launch, classes, runtime):
    result = launch(settings_text(classes, 'com.example.fixture.Throws', **only(runtime)))
    assert result.returncode == 255
    assert result.stderr.count(b'java.lang.IllegalStateException: thrown by the fixture') == 1
