"""The startup cache on the installed runtimes: where the archive is made,
that the next start maps it, and every case in which nothing is written."""
import os
import shutil
import subprocess
import time
import zipfile

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


# Whatever befalls the archive, the application starts as without the cache,
# nothing the cache causes reaches the console, and the archive is made good
# again: the start after next maps the application's classes from it.

@pytest.fixture
def newest():
    if not ARCHIVING:
        pytest.skip('no runtime of Java 19 or later under /usr/lib/jvm')
    return ARCHIVING[-1]


def logged(log):
    """Settings parameters that log where each class came from (log options never cost the archive), and
    keep a crash report of the runtime beside the log."""
    return '-Xlog:class+load=info:file=%s -XX:ErrorFile=%s' % (log, log.parent / 'hs_err_%p.log')


def mapped(log, main='com.example.fixture.Args'):
    return '%s source: shared objects file (top)' % main in log.read_text()


def started_cleanly(result, arguments=('a',), code=0):
    assert (result.returncode, result.stderr) == (code, b''), result.stderr.decode(errors='replace')[:2000]
    if code == 0:
        lines = result.stdout.decode(errors='replace').splitlines()
        assert [line.split('=')[0] for line in lines] == ['home', 'jnu', 'class.path', 'x', 'y'] + ['arg'] * len(
            arguments) and report(result)[1] == list(arguments)


def only_archive(cache):
    [archive] = cache.rglob('*.jsa')
    return archive


def overwrite_middle(archive):
    """4 KB of garbage at a quarter, half and three quarters of the archive, as a failing disk leaves it."""
    garbage = os.urandom(4096)
    size = archive.stat().st_size
    with open(archive, 'r+b') as file:
        for quarter in (1, 2, 3):
            file.seek(size * quarter // 4 // 4096 * 4096)
            file.write(garbage)
    return garbage


@pytest.mark.parametrize('case', ['damaged', 'damaged, time kept', 'truncated', 'emptied', 'half-written',
                                  'never sealed'])
def test_an_archive_that_is_not_as_the_runtime_left_it_is_made_again(launch, jar, tmp_path, newest, case):
    cache, log = tmp_path / 'cache', tmp_path / 'classes.log'
    settings = cache_settings(jar, newest, logged(log))
    env = {'XDG_CACHE_HOME': str(cache)}
    started_cleanly(launch(settings, ['a'], env=env))
    archive = only_archive(cache)
    seal = archive.with_name(archive.name + '.seal')
    before = archive.stat()
    garbage = None
    if case.startswith('damaged') or case == 'never sealed':
        garbage = overwrite_middle(archive)
    if case == 'damaged, time kept':
        os.utime(archive, ns=(before.st_atime_ns, before.st_mtime_ns))
    if case == 'truncated':
        os.truncate(archive, 500)
    if case == 'emptied':
        os.truncate(archive, 0)
    if case == 'half-written':
        # What a process killed while the runtime wrote the archive leaves:
        # the header comes last, so the start of the file is still zeros.
        with open(archive, 'r+b') as file:
            file.write(bytes(4096))
        os.truncate(archive, before.st_size // 2)
    if case in ('half-written', 'never sealed'):
        seal.unlink()
    for _ in range(2):
        started_cleanly(launch(settings, ['a'], env=env))
    assert mapped(log) and list(tmp_path.rglob('hs_err*')) == []
    if garbage:
        assert garbage not in archive.read_bytes()


def test_a_jar_replaced_by_an_older_one_has_the_archive_made_again(launch, jar, tmp_path, newest):
    cache, log = tmp_path / 'cache', tmp_path / 'classes.log'
    application = tmp_path / 'app.jar'
    shutil.copy(jar, application)
    settings = cache_settings(application, newest, logged(log))
    env = {'XDG_CACHE_HOME': str(cache)}
    for _ in range(2):
        started_cleanly(launch(settings, ['a'], env=env))
    assert mapped(log)
    # An older release of the application, a day older than the archive.
    with zipfile.ZipFile(application, 'a') as archive:
        archive.writestr('older.txt', 'an older release')
    day_ago = time.time() - 86400
    os.utime(application, (day_ago, day_ago))
    for _ in range(2):
        started_cleanly(launch(settings, ['a'], env=env))
    assert mapped(log)


def greeting_jar(runtime, directory, word):
    """A JAR whose Greeting prints the word: words of one length give JARs of one size."""
    directory.mkdir()
    (directory / 'Greeting.java').write_text(
        'public class Greeting { public static void main(String[] a) { System.out.println("%s"); } }\n' % word)
    subprocess.run([str(runtime.home / 'bin' / 'javac'), '-d', str(directory), str(directory / 'Greeting.java')],
                   check=True)
    jar = directory / 'greeting.jar'
    subprocess.run([str(runtime.home / 'bin' / 'jar'), '--create', '--no-compress', '--date=2020-01-01T00:00:00Z',
                    '--file', str(jar), '-C', str(directory), 'Greeting.class'], check=True)
    return jar


def test_a_jar_replaced_by_one_of_the_same_size_and_time_is_run_as_it_now_is(launch, tmp_path, newest):
    if not (newest.home / 'bin' / 'javac').exists():
        pytest.skip('the runtime has no javac')
    one, two = greeting_jar(newest, tmp_path / 'one', 'one'), greeting_jar(newest, tmp_path / 'two', 'two')
    assert one.stat().st_size == two.stat().st_size
    application = tmp_path / 'greeting.jar'
    shutil.copy(one, application)
    made = application.stat()
    settings = cache_settings(application, newest, logged(tmp_path / 'classes.log')).replace(
        'com.example.fixture.Args', 'Greeting')
    env = {'XDG_CACHE_HOME': str(tmp_path / 'cache')}
    for _ in range(2):
        result = launch(settings, env=env)
        assert (result.returncode, result.stdout, result.stderr) == (0, b'one\n', b'')
    assert mapped(tmp_path / 'classes.log', 'Greeting')
    shutil.copyfile(two, application)
    os.utime(application, ns=(made.st_atime_ns, made.st_mtime_ns))
    for _ in range(2):
        result = launch(settings, env=env)
        assert (result.returncode, result.stdout, result.stderr) == (0, b'two\n', b'')
    assert mapped(tmp_path / 'classes.log', 'Greeting')


def test_applications_of_one_name_in_two_folders_keep_an_archive_each(launch, jar, tmp_path, newest):
    env = {'XDG_CACHE_HOME': str(tmp_path / 'cache')}
    logs = {}
    for folder in ('first', 'second'):
        (tmp_path / folder).mkdir()
        shutil.copy(jar, tmp_path / folder / 'app.jar')
        logs[folder] = tmp_path / folder / 'classes.log'
    def stamps():
        return sorted((p.name, p.stat().st_mtime_ns) for p in (tmp_path / 'cache' / 'app').glob('*.jsa'))
    made = None
    for round in range(3):
        if round == 2:
            made = stamps()
        for folder in ('first', 'second'):
            settings = cache_settings(tmp_path / folder / 'app.jar', newest, logged(logs[folder]))
            started_cleanly(launch(settings, ['a'], env=env, directory=folder + '/app'))
    # Each maps its own, and neither has the other's written over at each start.
    assert mapped(logs['first']) and mapped(logs['second'])
    assert len(made) == 2 and stamps() == made


def test_an_application_that_calls_system_exit_has_its_archive_sealed(launch, jar, tmp_path, newest):
    cache, log = tmp_path / 'cache', tmp_path / 'classes.log'
    settings = cache_settings(jar, newest, logged(log)).replace('fixture.Args', 'fixture.Exit')
    env = {'XDG_CACHE_HOME': str(cache)}
    for _ in range(2):
        started_cleanly(launch(settings, env=env), code=3)
    assert mapped(log, 'com.example.fixture.Exit')
    overwrite_middle(only_archive(cache))
    for _ in range(2):
        started_cleanly(launch(settings, env=env), code=3)
    assert mapped(log, 'com.example.fixture.Exit')


def test_a_full_cache_volume_leaves_the_application_as_without_the_cache(launcher_binary, jar, tmp_path, newest):
    if not shutil.which('unshare'):
        pytest.skip('unshare is not installed')
    app, cache = tmp_path / 'app', tmp_path / 'cache'
    app.mkdir()
    cache.mkdir()
    shutil.copy2(launcher_binary, app / 'app')
    (app / 'app.ini').write_text(cache_settings(jar, newest))
    env = {'PATH': os.environ.get('PATH', '/usr/bin:/bin'), 'LC_ALL': 'C.UTF-8', 'XDG_CACHE_HOME': str(cache)}
    # A volume of 64 KiB of its own (the archive needs more), in a mount namespace that ends with the run.
    probe = subprocess.run(['unshare', '--mount', '--map-root-user', 'mount', '-t', 'tmpfs', '-o', 'size=64k', 'tmpfs',
                            str(cache)], capture_output=True)
    if probe.returncode != 0:
        pytest.skip('no mount namespace here: %s' % probe.stderr.decode(errors='replace').strip())
    result = subprocess.run(['unshare', '--mount', '--map-root-user', 'sh', '-c',
                             'mount -t tmpfs -o size=64k tmpfs "$0" && exec "$@"', str(cache), str(app / 'app'), 'a'],
                            capture_output=True, env=env, timeout=120)
    started_cleanly(result)


# The cache is used only where no other user can write or replace what the
# runtime maps, and no link leads elsewhere; otherwise the application starts
# without it, the trace says why, and nothing in the cache, or through a link,
# is written.

NOBODY = 65534


def relink(path, target):
    os.rename(path, target) if target.name != 'nowhere' else os.unlink(path)
    path.symlink_to(target)


UNTRUSTED = {  # what is done after a first start: (its kind and which, the reason)
    'cache root of another user': (lambda c: os.chown(c['root'], NOBODY, NOBODY), 'root', 'belongs to another user'),
    'cache root others may write, not sticky': (lambda c: c['root'].chmod(0o777), 'root',
                                                'may be written by other users'),
    'folder of another user': (lambda c: os.chown(c['folder'], NOBODY, NOBODY), 'folder', 'belongs to another user'),
    'folder the group may write': (lambda c: c['folder'].chmod(0o770), 'folder', 'may be written by other users'),
    'folder others may write': (lambda c: c['folder'].chmod(0o703), 'folder', 'may be written by other users'),
    'folder a link': (lambda c: relink(c['folder'], c['outside'] / 'folder'), 'folder', 'is a link'),
    'archive a link': (lambda c: relink(c['archive'], c['outside'] / 'archive'), 'archive', 'is a link'),
    'seal a link': (lambda c: relink(c['seal'], c['outside'] / 'seal'), 'seal', 'is a link'),
    'archive a dangling link': (lambda c: relink(c['archive'], c['outside'] / 'nowhere'), 'archive', 'is a link'),
    'seal a dangling link': (lambda c: relink(c['seal'], c['outside'] / 'nowhere'), 'seal', 'is a link'),
    'archive of another user': (lambda c: os.chown(c['archive'], NOBODY, NOBODY), 'archive',
                                'belongs to another user'),
}


def cache_state(cache):
    return sorted((str(p), p.lstat().st_mode, p.lstat().st_uid, p.lstat().st_mtime_ns) for p in cache.rglob('*'))


@pytest.mark.parametrize('case', sorted(UNTRUSTED))
def test_a_cache_others_could_change_is_not_used_nor_written(launch, jar, tmp_path, newest, case):
    change, which, reason = UNTRUSTED[case]
    if 'another user' in case and os.geteuid() != 0:
        pytest.skip('only root can give a file to another user (uid %d) here' % NOBODY)
    cache, trace, outside = tmp_path / 'cache', tmp_path / 'trace.txt', tmp_path / 'outside'
    outside.mkdir()
    settings = cache_settings(jar, newest)
    started_cleanly(launch(settings, ['a'], env={'XDG_CACHE_HOME': str(cache)}))
    archive = only_archive(cache)
    places = {'root': cache, 'folder': archive.parent, 'archive': archive,
              'seal': archive.with_name(archive.name + '.seal'), 'outside': outside}
    change(places)
    before = cache_state(cache), cache_state(outside)
    started_cleanly(launch(settings, ['a'], env={'XDG_CACHE_HOME': str(cache), 'JAVA_LAUNCHER_TRACE': str(trace)}))
    kind = 'file' if which in ('archive', 'seal') else 'folder'
    assert 'startup cache: off, the %s %s %s' % (kind, places[which], reason) in trace.read_text()
    assert 'SharedArchiveFile' not in trace.read_text().split('VM options:\n')[1].split('JNI_CreateJavaVM')[0]
    assert (cache_state(cache), cache_state(outside)) == before and not (outside / 'nowhere').exists()


@pytest.mark.parametrize('case', ['cache root shared and sticky, as /tmp', 'cache root reached through a link',
                                  'umask 002'])
def test_a_cache_only_its_user_can_change_is_used(launch, jar, tmp_path, newest, case):
    cache, log = tmp_path / 'cache', tmp_path / 'classes.log'
    cache.mkdir()
    cache.chmod(0o1777 if 'sticky' in case else 0o700)
    if 'link' in case:
        (tmp_path / 'linked').symlink_to(cache)
        cache = tmp_path / 'linked'
    settings = cache_settings(jar, newest, logged(log))
    old = os.umask(0o002) if case == 'umask 002' else None
    try:
        for _ in range(2):
            started_cleanly(launch(settings, ['a'], env={'XDG_CACHE_HOME': str(cache)}))
    finally:
        if old is not None:
            os.umask(old)
    assert mapped(log) and not only_archive(cache).stat().st_mode & 0o022
