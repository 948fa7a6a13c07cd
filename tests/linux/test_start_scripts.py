"""What applications' start scripts do, said by the settings: class path
wildcards, a working directory, fixed arguments for main, JDK_JAVA_OPTIONS.
Each case runs through java and through the launcher, and both must print the
same and end the same."""
import os
import subprocess
import zipfile

import pytest

from linux_rig import settings_text

LAUNCHED = 'com.example.fixture.Launched'
ENVIRONMENT = {'PATH': os.environ.get('PATH', '/usr/bin:/bin'), 'LC_ALL': 'C.UTF-8'}


def only(runtime):
    return {'minimum': runtime.version, 'maximum': runtime.version}


def java(runtime, *arguments, env=None, cwd=None):
    return subprocess.run([str(runtime.home / 'bin' / 'java'), *map(str, arguments)], capture_output=True,
                          env=dict(ENVIRONMENT, **(env or {})), timeout=120, cwd=cwd)


def shown(result):
    """What the Launched fixture printed, but the machine's input arguments."""
    return [line for line in result.stdout.decode().splitlines() if not line.startswith('input=')]


def assert_same(through_java, through_launcher):
    assert (through_launcher.returncode, through_launcher.stderr) == (through_java.returncode, through_java.stderr)
    assert shown(through_launcher) == shown(through_java)


def make_jar(path, classes=None, main_class=None):
    """A JAR file holding the fixture classes (or only a manifest)."""
    path.parent.mkdir(parents=True, exist_ok=True)
    manifest = 'Manifest-Version: 1.0\r\n' + (f'Main-Class: {main_class}\r\n' if main_class else '') + '\r\n'
    with zipfile.ZipFile(path, 'w') as archive:
        archive.writestr('META-INF/MANIFEST.MF', manifest)
        for file in sorted(classes.rglob('*.class')) if classes else ():
            archive.write(file, file.relative_to(classes).as_posix())


def library_folder(folder, classes, names):
    """JAR files made in the order given (readdir's order follows it on most file systems, never sorted)."""
    for name in names:
        make_jar(folder / name, classes if name == 'app.jar' else None)
    (folder / 'notes.txt').write_text('not a JAR file')
    (folder / 'nested').mkdir()
    make_jar(folder / 'nested' / 'deeper.jar')


def test_pdfsam_like_a_folder_of_jar_files(launch, classes, runtime, tmp_path):
    app = tmp_path / 'app'
    library_folder(app / 'lib', classes, ['zeta.jar', 'app.jar', 'Upper.JAR', 'mixed.Jar', 'alpha.jar'])
    through_java = java(runtime, '-cp', f'{app}/lib/*', LAUNCHED, 'a')
    through_launcher = launch(settings_text('%APPDIR%/lib/*', LAUNCHED, **only(runtime)), ['a'])
    assert_same(through_java, through_launcher)
    class_path = shown(through_launcher)[1].split('=', 1)[1].split(':')
    assert sorted(class_path) == sorted(f'{app}/lib/{name}' for name in ['zeta.jar', 'app.jar', 'Upper.JAR',
                                                                          'alpha.jar'])


def test_tuxguitar_like_folders_and_a_plugin_folder_in_the_parameters(launch, classes, runtime, tmp_path):
    app = tmp_path / 'app'
    library_folder(app / 'lib', classes, ['swt.jar', 'app.jar', 'commons.jar'])
    (app / 'share').mkdir()
    library_folder(app / 'plugins', None, ['tuxguitar-ascii.jar', 'tuxguitar-midi.jar'])
    through_java = java(runtime, '-cp', f'{app}/lib/*:{app}/share/:{app}/missing/*:{app}/plugins/*', LAUNCHED)
    through_launcher = launch(settings_text('%APPDIR%/lib/*:%APPDIR%/share/:%APPDIR%/missing/*', LAUNCHED,
                                            parameters='-cp %APPDIR%/plugins/*', **only(runtime)))
    assert_same(through_java, through_launcher)
    # A folder that is not there stays as written, as java leaves it.
    assert f':{app}/missing/*:'.encode() in through_launcher.stdout


def test_the_main_jar_is_found_among_a_wildcards_jar_files(launch, classes, runtime, tmp_path):
    app = tmp_path / 'app'
    make_jar(app / 'lib' / 'runs.jar', classes, main_class=LAUNCHED)
    through_launcher = launch(settings_text('%APPDIR%/lib/*', '', **only(runtime)), ['q'])
    assert through_launcher.returncode == 0, through_launcher.stderr.decode(errors='replace')
    assert shown(through_launcher)[1:] == [f'class.path={app}/lib/runs.jar', f'user.dir={os.getcwd()}',
                                           'args=[q]']


def working_directory_settings(class_path, directory, runtime, parameters=''):
    return settings_text(class_path, LAUNCHED, parameters=parameters, **only(runtime)) \
        + f'Working Directory={directory}\n'


def test_triplea_like_a_working_directory(launch, classes, runtime, tmp_path):
    # The class path is still taken from where the launcher was started; user.dir is the new folder.
    app, start = tmp_path / 'app', tmp_path / 'start'
    (app / 'bin').mkdir(parents=True)
    make_jar(start / 'lib' / 'app.jar', classes)
    through_java = java(runtime, '-cp', f'{start}/lib/app.jar:{start}:{app}/bin', LAUNCHED, 'a', cwd=app / 'bin')
    through_launcher = launch(working_directory_settings('lib/app.jar::%APPDIR%/bin', '%APPDIR%/bin', runtime),
                              ['a'], cwd=start)
    assert_same(through_java, through_launcher)
    assert f'user.dir={app}/bin' in shown(through_launcher)


def test_a_working_directory_that_cannot_be_entered_is_named(launch, classes, runtime, tmp_path):
    result = launch(working_directory_settings(str(classes), '%APPDIR%/no such folder', runtime))
    assert (result.returncode, result.stdout, result.stderr.decode()) == (
        255, b'', f'The folder {tmp_path}/app/no such folder named in Working Directory does not exist or cannot '
                  'be entered.\n')


def test_groovy_like_fixed_arguments_before_the_command_lines(launch, classes, runtime, tmp_path):
    app = tmp_path / 'app'
    fixed = ['--main', 'groovy.ui.GroovyMain', '--conf', f'{app}/conf dir/groovy-starter.conf']
    through_java = java(runtime, '-cp', classes, LAUNCHED, *fixed, 'script.groovy', 'two words')
    settings = settings_text(classes, LAUNCHED, **only(runtime)) \
        + 'Main Arguments=--main groovy.ui.GroovyMain --conf "%APPDIR%/conf dir/groovy-starter.conf"\n'
    through_launcher = launch(settings, ['script.groovy', 'two words'])
    assert_same(through_java, through_launcher)
    assert f'args=[{", ".join(fixed)}, script.groovy, two words]' in shown(through_launcher)
