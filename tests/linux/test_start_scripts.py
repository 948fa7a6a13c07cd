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
    """What the Launched fixture printed, line by line."""
    return result.stdout.decode().splitlines()


def printed(result, name):
    """The value the Launched fixture printed for the name."""
    [value] = [line.split('=', 1)[1] for line in shown(result) if line.startswith(name + '=')]
    return value


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
    class_path = printed(through_launcher, 'class.path').split(':')
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
    assert shown(through_launcher)[2:] == [f'class.path={app}/lib/runs.jar', f'user.dir={os.getcwd()}',
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


OPTIONS_VARIABLE = [
    # case, JDK_JAVA_OPTIONS
    ('add-opens, quotes', '--add-opens java.base/java.lang=ALL-UNNAMED -Da="x y" -Db=\'q r\' -Dc=s"t u"v'),
    ('blanks of every kind', ' -Dt=1\t-Dv=2\n-Dw=3\r\f\v '),
    ('set but empty', ''),
    ('argument file', '@{options}'),
    ('argument file with its value after it', '@{dangling} java.base/java.lang=ALL-UNNAMED'),
    ('unmatched quote', '-Dx="unterminated'),
    ('a main class', 'com.example.Main'),
    ('an empty item is a main class', "-Dx=1 ''"),
    ('-jar', '-jar app.jar'),
    ('-m', '-m app/app.Main'),
    ('-version', '-version'),
    ('-jar in an argument file', '@{jar_options}'),
    ('a main class in an argument file', '@{main_options}'),
    ('an argument file after --disable-@files', '--disable-@files @{options}'),
    ('@@', '@@x'),
    ('a missing argument file', '@{missing}'),
]


@pytest.mark.parametrize('value', [case[1] for case in OPTIONS_VARIABLE], ids=[case[0] for case in OPTIONS_VARIABLE])
def test_jdk_java_options_as_java_reads_it(launch, classes, runtime, tmp_path, value):
    files = {'options': '-Dfrom.file=1\n', 'dangling': '--add-opens\n', 'jar_options': '-jar x.jar\n',
             'main_options': 'Main\n'}
    for name, text in files.items():
        (tmp_path / name).write_text(text)
    value = value.format(classes=classes, missing=tmp_path / 'missing', **{n: tmp_path / n for n in files})
    variable = {'JDK_JAVA_OPTIONS': value}
    through_java = java(runtime, '-cp', classes, LAUNCHED, env=variable)
    through_launcher = launch(settings_text(classes, LAUNCHED, **only(runtime)), env=variable)
    assert through_java.stderr.startswith(b'NOTE: Picked up JDK_JAVA_OPTIONS: ')
    assert_same(through_java, through_launcher)


def test_jdk_java_options_follow_the_parameters(launch, classes, runtime):
    # java puts them before its own command line's options, the launcher after the parameters.
    variable = {'JDK_JAVA_OPTIONS': '-Dfrom.variable=1'}
    through_launcher = launch(settings_text(classes, LAUNCHED, parameters='-Xmx64m', **only(runtime)),
                              env=variable)
    assert printed(through_launcher, 'input') == '[-Xmx64m, -Dfrom.variable=1]'



def test_jdk_java_options_may_be_ignored(launch, classes, runtime):
    settings = settings_text(classes, LAUNCHED, **only(runtime)) + 'Ignore JDK_JAVA_OPTIONS=true\n'
    result = launch(settings, env={'JDK_JAVA_OPTIONS': '-jar x.jar'})
    assert result.returncode == 0 and result.stderr == b''


def test_jdk_java_options_may_give_the_class_path(launch, classes, runtime):
    variable = {'JDK_JAVA_OPTIONS': f'-cp {classes} -Xss2m --add-opens java.base/java.lang=ALL-UNNAMED'}
    through_java = java(runtime, LAUNCHED, env=variable)
    through_launcher = launch(settings_text('', LAUNCHED, **only(runtime)), env=variable)
    assert_same(through_java, through_launcher)
