"""JAVA_HOME after the runtimes under /usr/lib/jvm, and the trace that says
which runtime was taken and why."""
import pytest

from linux_rig import RUNTIMES, report, settings_text


@pytest.fixture
def named_home(tmp_path):
    """A runtime home of version 99 whose VM library is the highest installed
    runtime's (the machine then reports that runtime's home as its own)."""
    if not RUNTIMES:
        pytest.skip('no runtime under /usr/lib/jvm')
    real = RUNTIMES[-1].home
    home = tmp_path / 'named'
    (home / 'lib' / 'server').mkdir(parents=True)
    (home / 'lib' / 'libjava.so').symlink_to(real / 'lib' / 'libjava.so')
    (home / 'lib' / 'server' / 'libjvm.so').symlink_to(real / 'lib' / 'server' / 'libjvm.so')
    (home / 'release').write_text('JAVA_VERSION="99"\n')
    return home, real


def test_java_home_is_the_last_source_and_the_trace_says_why(launch, classes, named_home, tmp_path):
    home, real = named_home
    trace = tmp_path / 'trace.txt'
    result = launch(settings_text(classes, minimum='99'), env={'JAVA_HOME': str(home),
                                                                'JAVA_LAUNCHER_TRACE': str(trace)})
    assert result.returncode == 0, result.stderr.decode(errors='replace')
    assert report(result)[0]['home'] == str(real)
    lines = trace.read_text().splitlines()
    for expected in ['runtimes on the system, for the minimum 99:', '  JAVA_HOME: home %s' % home,
                     '    version 99, from the release file ("99")',
                     '    candidate: %s/lib/server/libjvm.so' % home,
                     'choice: %s/, version 99: the highest version in range (no preferred version matched)' % home,
                     'JNI_CreateJavaVM: 0', 'main called', 'exit code 0']:
        assert expected in lines
    # The installed runtimes are all below 99: only JAVA_HOME's is a candidate.
    assert [line for line in lines if line.startswith('    candidate: ')] == [
        '    candidate: %s/lib/server/libjvm.so' % home]

def test_without_the_variable_nothing_is_written(launch, classes, tmp_path):
    result = launch(settings_text(classes), env={'JAVA_LAUNCHER_TRACE': ''})
    assert result.returncode == 0
    assert sorted(p.name for p in (tmp_path / 'app').iterdir()) == ['app', 'app.ini']
