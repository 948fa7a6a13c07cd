"""The startup cache on Windows: the archive options the runtime is given,
and the folder in %LOCALAPPDATA% they name."""
import os

from wine import events, launch_application


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
    assert options[6:] == ['-Dsun.java.command=com.example.Main'] and create['hooks'] == ['vfprintf', 'abort', 'exit']
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
    assert options[1:] == ['-Xmx64m', '-Dsun.java.command=com.example.Main'] and create['extraInfoNull'] is True and run.exit_code == 0
    assert create['hooks'] == ['vfprintf', 'abort', 'exit']
