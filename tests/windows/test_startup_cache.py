"""The startup cache on Windows: the archive options the runtime is given,
and the folder in %LOCALAPPDATA% they name."""
import os
import shutil
from pathlib import Path

import pytest

from wine import events, launch_application, windows_path


def test_a_runtime_of_java_19_or_later_is_given_an_archive_in_the_users_cache(wine, tmp_path):
    # Wine sets %LOCALAPPDATA% to the prefix's own folder.
    local = os.path.join(wine.prefix, 'drive_c', 'users', os.environ.get('USER', 'root'), 'AppData', 'Local')
    (tmp_path / 'app' / 'jre' / 'bin' / 'client').mkdir(parents=True)
    (tmp_path / 'app' / 'jre' / 'release').write_text('JAVA_VERSION="21.0.2"\n')
    # The runtime's own archive, which the one made for the application extends.
    (tmp_path / 'app' / 'jre' / 'bin' / 'client' / 'classes.jsa').write_bytes(b'base archive')
    run = launch_application(wine, tmp_path, class_path='%APPDIR%\\app.jar', parameters='-Xmx64m',
                             extra_settings='Startup Cache=true\n')
    [create] = events(run, 'create')
    options = [bytes.fromhex(option).decode('latin-1') for option in create['options']]
    [archive] = [o.split('=', 1)[1] for o in options if o.startswith('-XX:SharedArchiveFile=')]
    assert options[1:3] == ['-Xlog:cds=off', '-Xlog:cds+dynamic=off'] and options[3] == '-Xmx64m'
    assert options[4] == '-XX:+AutoCreateSharedArchive' and options[5] == '-XX:SharedArchiveFile=' + archive
    # No archive yet: the launcher's exit hook, which also seals the one the runtime makes.
    assert options[6:] == ['-Dsun.java.command=com.example.Main', '-Dsun.java.launcher=SUN_STANDARD'] and create['hooks'] == ['vfprintf', 'abort', 'exit']
    folder, name = archive.rsplit('\\', 1)
    assert folder.endswith('\\AppData\\Local\\app') and name.startswith('java21-') and name.endswith('.jsa')
    assert os.path.isdir(os.path.join(local, 'app')) and run.exit_code == 0


def test_a_runtime_without_an_archive_of_its_own_is_given_none(wine, tmp_path):
    (tmp_path / 'app' / 'jre').mkdir(parents=True)
    (tmp_path / 'app' / 'jre' / 'release').write_text('JAVA_VERSION="21.0.2"\n')
    run = launch_application(wine, tmp_path, class_path='%APPDIR%\\app.jar', parameters='-Xmx64m',
                             extra_settings='Startup Cache=true\n')
    [create] = events(run, 'create')
    options = [bytes.fromhex(option).decode('latin-1') for option in create['options']]
    assert options[1:] == ['-Xmx64m', '-Dsun.java.command=com.example.Main', '-Dsun.java.launcher=SUN_STANDARD'] and create['extraInfoNull'] is True and run.exit_code == 0
    assert create['hooks'] == ['vfprintf', 'abort', 'exit']


def archive_option(run):
    create = events(run, 'create')[-1]   # the record holds every run's
    options = [bytes.fromhex(option).decode('latin-1') for option in create['options']]
    return ([o.split('=', 1)[1] for o in options if o.startswith('-XX:SharedArchiveFile=')] or [None])[0]


@pytest.fixture
def cache_folder(wine):
    """The application's folder in the prefix's %LOCALAPPDATA%, gone before and after."""
    folder = Path(wine.prefix, 'drive_c', 'users', os.environ.get('USER', 'root'), 'AppData', 'Local', 'app')
    def remove():
        folder.unlink() if folder.is_symlink() else shutil.rmtree(folder, ignore_errors=True)
    remove()
    yield folder
    remove()


# Wine shows a Unix owner other than its own user as another SID, write for
# others as an access entry that lets Everyone write, and a link to a folder as
# a reparse point. (A link to a file it shows as the file: no reparse point.)
UNTRUSTED = {
    'folder others may write': (lambda c: c['folder'].chmod(0o777), 'folder', 'may be written by other users'),
    'folder of another user': (lambda c: os.chown(c['folder'], 65534, 65534), 'folder', 'belongs to another user'),
    'folder a link': (lambda c: (c['folder'].rename(c['elsewhere']), c['folder'].symlink_to(c['elsewhere'])),
                      'folder', 'is a link'),
    'archive of another user': (lambda c: (c['archive'].write_bytes(b'x'), os.chown(c['archive'], 65534, 65534)),
                                'file', 'belongs to another user'),
}


@pytest.mark.parametrize('case', sorted(UNTRUSTED))
def test_a_cache_others_could_change_is_not_used(wine, tmp_path, cache_folder, case):
    change, kind, reason = UNTRUSTED[case]
    (tmp_path / 'app' / 'jre' / 'bin' / 'client').mkdir(parents=True)
    (tmp_path / 'app' / 'jre' / 'release').write_text('JAVA_VERSION="21.0.2"\n')
    (tmp_path / 'app' / 'jre' / 'bin' / 'client' / 'classes.jsa').write_bytes(b'base archive')
    def start(**env):
        return launch_application(wine, tmp_path, class_path='%APPDIR%\\app.jar',
                                  extra_settings='Startup Cache=true\n', env=env)
    archive = archive_option(start())
    change({'folder': cache_folder, 'archive': cache_folder / archive.rsplit('\\', 1)[1],
            'elsewhere': tmp_path / 'elsewhere'})
    trace = tmp_path / 'trace.txt'
    run = start(JAVA_LAUNCHER_TRACE=windows_path(trace))
    named = archive if kind == 'file' else archive.rsplit('\\', 1)[0]
    assert 'startup cache: off, the %s %s %s' % (kind, named, reason) in trace.read_text(encoding='latin-1')
    assert archive_option(run) is None and run.exit_code == 0
