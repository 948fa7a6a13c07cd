"""The startup cache on the installed runtimes: where the archive is made,
that the next start maps it, and every case in which nothing is written."""
import os
import subprocess
import time

import pytest

from linux_rig import RUNTIMES, report, settings_text

ARCHIVING = [r for r in RUNTIMES if r.feature >= 19]
TOO_OLD = [r for r in RUNTIMES if r.feature < 19]


@pytest.fixture(scope='module')
def jar(classes, tmp_path_factory):
    """The fixture programs in a JAR: the runtime archives classes of JAR files only."""
    tools = [r for r in RUNTIMES if (r.home / 'bin' / 'jar').exists()]
    if not tools:
        pytest.skip('no JDK with jar under /usr/lib/jvm')
    path = tmp_path_factory.mktemp('jar') / 'fixtures.jar'
    subprocess.run([str(tools[0].home / 'bin' / 'jar'), '--create', '--file', str(path), '-C', str(classes), '.'],
                   check=True)
    return path


def cache_settings(classes, runtime, parameters='', key='Startup Cache=true\n'):
    return settings_text(classes, parameters=parameters, minimum=runtime.version, maximum=runtime.version) + key


def archives(cache):
    return sorted(str(p.relative_to(cache)) for p in cache.rglob('*.jsa'))


@pytest.mark.parametrize('archiving', ARCHIVING or [pytest.param(None, marks=pytest.mark.skip(
    reason='no runtime of Java 19 or later under /usr/lib/jvm'))], ids=lambda r: r and r.home.name)
def test_the_archive_is_made_by_the_first_start_and_mapped_by_the_next(launch, jar, tmp_path, archiving):
    runtime = archiving
    cache, log = tmp_path / 'cache', tmp_path / 'cds.log'
    env = {'XDG_CACHE_HOME': str(cache)}
    first = launch(cache_settings(jar, runtime), ['a'], env=env)
    assert first.returncode == 0 and report(first)[1] == ['a']
    assert first.stderr == b''
    [archive] = archives(cache)
    assert archive.startswith('app/java%d-' % runtime.feature)
    second = launch(cache_settings(jar, runtime, '-Xlog:cds:file=%s' % log), ['a'], env=env)
    assert second.stdout == first.stdout and second.returncode == 0
    assert 'Opened shared archive file %s' % (cache / archive) in log.read_text()
    # A JAR newer than the archive (the application was updated): the runtime
    # would stop using the archive for good; the launcher has it made anew.
    os.utime(jar, (time.time() + 5, time.time() + 5))
    made = (cache / archive).stat().st_mtime_ns
    third = launch(cache_settings(jar, runtime), ['a'], env=env)
    assert third.returncode == 0 and (cache / archive).stat().st_mtime_ns > made


@pytest.mark.parametrize('case', ['no key', 'key not exactly true', 'Xshare off', 'archive of its own',
                                  'folder cannot be made', 'runtime too old', 'directory in the class path'])
def test_nothing_is_written_and_the_application_starts(launch, jar, classes, tmp_path, case):
    runtime = (TOO_OLD if case == 'runtime too old' else ARCHIVING or [None])[0] if RUNTIMES else None
    if runtime is None:
        pytest.skip('no runtime for this case under /usr/lib/jvm')
    cache = tmp_path / 'cache'
    own = runtime.home / 'lib' / 'server' / 'classes.jsa'
    parameters = {'Xshare off': '-Xshare:off', 'archive of its own': '-XX:SharedArchiveFile=%s' % own}.get(case, '')
    class_path = '%s:%s' % (jar, classes) if case == 'directory in the class path' else jar
    key = {'no key': '', 'key not exactly true': 'Startup Cache=True\n'}.get(case, 'Startup Cache=true\n')
    if case == 'folder cannot be made':
        cache.write_text('a file where the cache folder would be')
        cache = cache / 'sub'
    trace = tmp_path / 'trace.txt'
    result = launch(cache_settings(class_path, runtime, parameters, key), ['a'],
                    env={'XDG_CACHE_HOME': str(cache), 'JAVA_LAUNCHER_TRACE': str(trace)})
    assert result.returncode == 0 and report(result)[1] == ['a'], result.stderr
    assert not cache.exists() or archives(cache) == []
    options = trace.read_text().split('VM options:\n')[1].split('JNI_CreateJavaVM')[0]
    assert 'SharedArchiveFile=%s' % cache not in options and 'AutoCreateSharedArchive' not in options
