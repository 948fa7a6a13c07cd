"""What applications' start scripts do, said by the settings: class path
wildcards widened into the options the machine receives, the working
directory, fixed arguments for main and JDK_JAVA_OPTIONS."""
import pytest

from wine import CONSOLE_LAUNCHER_EXE, LAUNCHER_EXE, events, launch_application, windows_path


def class_path_option(run):
    [create] = events(run, 'create')
    first = bytes.fromhex(create['options'][0]).decode('latin-1')
    assert first.startswith('-Djava.class.path=')
    return first[len('-Djava.class.path='):]


def test_a_wildcard_is_the_folders_jar_files(wine, tmp_path):
    lib = tmp_path / 'app' / 'lib'
    (lib / 'nested').mkdir(parents=True)
    for name in ['zeta.jar', 'app.jar', 'Upper.JAR', 'notes.txt', 'nested/deeper.jar']:
        (lib / name).write_bytes(b'PK\x05\x06' + bytes(18))
    run = launch_application(wine, tmp_path, class_path='%APPDIR%\\lib\\*;%APPDIR%\\none\\*;lib\\*.jar',
                             parameters='-cp %APPDIR%/lib/*')
    app = windows_path(tmp_path / 'app')
    entries = class_path_option(run).split(';')
    # The folder's JAR files in the order FindFirstFile gives them, then the entries left as written.
    widened, rest = entries[:3], entries[3:]
    assert sorted(widened) == sorted(app + '\\lib\\' + name for name in ['zeta.jar', 'app.jar', 'Upper.JAR'])
    assert rest[:2] == [app + '\\none\\*', 'lib\\*.jar']
    assert sorted(rest[2:]) == sorted(app + '/lib/' + name for name in ['zeta.jar', 'app.jar', 'Upper.JAR'])
    assert [e[len(app) + 5:] for e in rest[2:]] == [e[len(app) + 5:] for e in widened]
    assert run.exit_code == 0


def test_a_working_directory_is_the_machines_and_relative_paths_stay_the_starting_folders(wine, tmp_path):
    (tmp_path / 'app' / 'bin').mkdir(parents=True)
    (tmp_path / 'start').mkdir()
    run = launch_application(wine, tmp_path, class_path='lib\\app.jar;%APPDIR%\\bin', cwd=tmp_path / 'start',
                             extra_settings='Working Directory=%APPDIR%\\bin\n')
    [create] = events(run, 'create')
    app, start = windows_path(tmp_path / 'app'), windows_path(tmp_path / 'start')
    assert create['directory'].lower() == (app + '\\bin').lower()
    assert class_path_option(run) == start + '\\lib\\app.jar;' + app + '\\bin'
    assert run.exit_code == 0


def test_a_working_directory_that_cannot_be_entered_is_named(wine, tmp_path):
    run = launch_application(wine, tmp_path, extra_settings='Working Directory=%APPDIR%\\none\n')
    assert run.texts == [('The folder %s\\none named in Working Directory does not exist or cannot be entered.'
                          % windows_path(tmp_path / 'app')).encode('latin-1')]
    assert events(run, 'create') == [] and run.exit_code == 0xFFFFFFFF


def test_main_arguments_come_before_the_command_lines(wine, tmp_path):
    run = launch_application(wine, tmp_path, tail=' script.groovy "two words"',
                             extra_settings='Main Arguments=--main groovy.ui.GroovyMain --conf '
                                            '"%APPDIR%\\conf\\groovy-starter.conf"\n')
    app = windows_path(tmp_path / 'app').encode('latin-1')
    [main] = events(run, 'main')
    assert [bytes.fromhex(a['hex']) for a in main['args']] == [
        b'--main', b'groovy.ui.GroovyMain', b'--conf', app + b'\\conf\\groovy-starter.conf', b'script.groovy',
        b'two words']
    [create] = events(run, 'create')
    assert bytes.fromhex(create['options'][-2]) == (b'-Dsun.java.command=com.example.Main --main '
                                                    b'groovy.ui.GroovyMain --conf ' + app
                                                    + b'\\conf\\groovy-starter.conf script.groovy two words')


NOTE = b'NOTE: Picked up JDK_JAVA_OPTIONS: --add-opens java.base/java.lang=ALL-UNNAMED "-Dx=a b"\n'


@pytest.mark.parametrize('launcher, noted', [(LAUNCHER_EXE, False), (CONSOLE_LAUNCHER_EXE, True)],
                         ids=['window flavour', 'console flavour'])
def test_jdk_java_options_follow_the_parameters(wine, tmp_path, launcher, noted):
    run = launch_application(wine, tmp_path, parameters='-Xmx64m', launcher=launcher,
                             env={'JDK_JAVA_OPTIONS': '--add-opens java.base/java.lang=ALL-UNNAMED "-Dx=a b"'})
    [create] = events(run, 'create')
    assert [bytes.fromhex(o) for o in create['options'][1:4]] == [
        b'-Xmx64m', b'--add-opens=java.base/java.lang=ALL-UNNAMED', b'-Dx=a b']
    # The note goes where there is standard error; the window flavour has none.
    assert (NOTE in run.errors) is noted
    assert (run.boxes, run.exit_code) == ([], 0)


def test_jdk_java_options_refused_as_java_refuses_them(wine, tmp_path):
    run = launch_application(wine, tmp_path, env={'JDK_JAVA_OPTIONS': '-jar app.jar'})
    assert run.texts == [b'Error: Option -jar is not allowed in environment variable JDK_JAVA_OPTIONS']
    assert events(run, 'create') == [] and run.exit_code == 1
    ignored = launch_application(wine, tmp_path, env={'JDK_JAVA_OPTIONS': '-jar app.jar'},
                                 extra_settings='Ignore JDK_JAVA_OPTIONS=true\n')
    assert (ignored.texts, ignored.exit_code) == ([], 0)
