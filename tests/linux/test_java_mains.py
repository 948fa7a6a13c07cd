"""Applications started as java starts them: a main module, a main JAR, the
main methods Java 25 admits, JavaFX applications, an exception out of main,
main's stack with -Xss and the name tools show. Each case runs through java
and through the launcher with the equivalent settings, and both must print
the same."""
import os
import shutil
import subprocess
from pathlib import Path

import pytest

from linux_rig import RUNTIMES, settings_text

MAINS = Path(__file__).parent / 'mains'
OPENJFX = Path('/usr/share/openjfx/lib')
JAVA25 = [r for r in RUNTIMES if r.feature >= 25 and (r.home / 'bin' / 'javac').exists()]
JAVA17 = [r for r in RUNTIMES if r.feature == 17]
ENVIRONMENT = {'PATH': os.environ.get('PATH', '/usr/bin:/bin'), 'LC_ALL': 'C.UTF-8'}


def ids(runtimes):
    return [r.home.name for r in runtimes]


def tool(runtime, name):
    return str(runtime.home / 'bin' / name)


def java(runtime, *arguments, env=None, **options):
    return subprocess.run([tool(runtime, 'java'), *map(str, arguments)], capture_output=True,
                          env=dict(ENVIRONMENT, **(env or {})), timeout=120, **options)


def pinned(runtime, text):
    """The settings with exactly this runtime in range."""
    return text.replace('Minimum Version=\n', f'Minimum Version={runtime.version}\n') \
               .replace('Maximum Version=\n', f'Maximum Version={runtime.version}\n')


def modular_settings(runtime, module, parameters):
    return pinned(runtime, '[Java Runtime Environment]\n'
                           f'Virtual Machine Parameters={parameters}\n'
                           f'Main Module={module}\n'
                           'Minimum Version=\nMaximum Version=\n')


def assert_same(through_java, through_launcher, exit_code=None):
    assert through_launcher.stdout == through_java.stdout
    assert through_launcher.stderr == through_java.stderr
    expected = through_java.returncode if exit_code is None else exit_code
    assert through_launcher.returncode == expected, through_launcher.stderr.decode(errors='replace')


def compile_java(runtime, output, sources, *options):
    subprocess.run([tool(runtime, 'javac'), *options, '-d', str(output), *map(str, sources)], check=True)


@pytest.fixture(scope='session')
def compiler():
    compilers = [r for r in RUNTIMES if (r.home / 'bin' / 'javac').exists()]
    if not compilers:
        pytest.skip('no JDK with javac under /usr/lib/jvm')
    return compilers[-1]


@pytest.fixture(scope='session')
def module_path(tmp_path_factory, compiler):
    """A directory holding the modular JAR of module app, whose descriptor names app.Main."""
    root = tmp_path_factory.mktemp('module')
    compile_java(compiler, root / 'classes', (MAINS / 'module').rglob('*.java'), '--release', '17')
    (root / 'mods').mkdir()
    subprocess.run([tool(compiler, 'jar'), '--create', '--file', str(root / 'mods' / 'app.jar'),
                    '--main-class', 'app.Main', '-C', str(root / 'classes'), '.'], check=True)
    return root / 'mods'


@pytest.fixture(scope='session')
def main_jar(tmp_path_factory, compiler):
    """main.jar, whose manifest names its Main-Class, Add-Opens, Add-Exports,
    Enable-Native-Access and Launcher-Agent-Class; and plain.jar, with no Main-Class."""
    root = tmp_path_factory.mktemp('jar')
    compile_java(compiler, root / 'classes', (MAINS / 'jar').rglob('*.java'), '--release', '17')
    jar = tool(compiler, 'jar')
    subprocess.run([jar, '--create', '--file', str(root / 'main.jar'), '--manifest',
                    str(MAINS / 'jar' / 'manifest.txt'), '-C', str(root / 'classes'), '.'], check=True)
    subprocess.run([jar, '--create', '--file', str(root / 'plain.jar'), '-C', str(root / 'classes'), '.'],
                   check=True)
    return root


@pytest.fixture(scope='session')
def forms(tmp_path_factory):
    """The main methods Java 25 admits, a compact source file among them, and a class without main."""
    if not JAVA25:
        pytest.skip('no Java 25 JDK under /usr/lib/jvm')
    output = tmp_path_factory.mktemp('forms')
    compile_java(JAVA25[0], output, sorted((MAINS / 'forms').glob('*.java')))
    return output


@pytest.fixture(scope='session')
def access(tmp_path_factory, compiler):
    """Static mains that are not public."""
    output = tmp_path_factory.mktemp('access')
    compile_java(compiler, output, sorted((MAINS / 'access').glob('*.java')), '--release', '17')
    return output


@pytest.fixture(scope='session')
def display(xvfb_display):
    """A display of a private Xvfb server for the session."""
    return {'DISPLAY': xvfb_display}


@pytest.mark.parametrize('module', ['app', 'app/app.Main'])
def test_main_module_without_class_path(launch, module_path, runtime, module):
    through_java = java(runtime, '-p', module_path, '-m', module, 'a', 'b c')
    through_launcher = launch(modular_settings(runtime, module, f'--module-path={module_path}'), ['a', 'b c'])
    assert_same(through_java, through_launcher)
    assert through_launcher.stdout == b'module=app\nmain.class=app.Main\nargs=a,b c\n'


def test_main_module_that_is_not_there(launch, module_path, runtime):
    through_java = java(runtime, '-p', module_path, '-m', 'nowhere')
    through_launcher = launch(modular_settings(runtime, 'nowhere', f'--module-path={module_path}'))
    assert_same(through_java, through_launcher)
    assert b'Module nowhere not found' in through_launcher.stdout + through_launcher.stderr


def test_main_jar_as_java_jar_runs_it(launch, main_jar, runtime):
    through_java = java(runtime, '-jar', main_jar / 'main.jar', 'q')
    # The first JAR file of the class path that names a Main-Class is the main JAR.
    class_path = f'{main_jar / "plain.jar"}:{main_jar / "missing.jar"}:{main_jar / "main.jar"}'
    through_launcher = launch(pinned(runtime, settings_text(class_path, main_class='')), ['q'])
    assert_same(through_java, through_launcher)
    native = 'true' if runtime.feature >= 22 else 'n/a'
    assert through_launcher.stdout.decode().splitlines() == [
        'opens=true', 'exports=true', f'native={native}', 'agent=started', 'args=q']


def test_no_jar_names_a_main_class(launch, main_jar):
    result = launch(settings_text(main_jar / 'plain.jar', main_class=''))
    assert (result.returncode, result.stderr) == (255, b'Main class was not specified in INI file.\n')


@pytest.mark.parametrize('jre', JAVA25, ids=ids(JAVA25))
@pytest.mark.parametrize('main_class', ['InstanceArgs', 'InstanceNoArgs', 'StaticNoArgs', 'Compact'])
def test_main_forms_of_java_25(launch, forms, jre, main_class):
    runtime = jre
    through_java = java(runtime, '-cp', forms, main_class, 'a', 'b')
    through_launcher = launch(pinned(runtime, settings_text(forms, main_class=main_class)), ['a', 'b'])
    assert_same(through_java, through_launcher)
    assert through_launcher.stdout.startswith(b'instance main' if 'Instance' in main_class else
                                              b'static main()' if main_class == 'StaticNoArgs' else b'compact')


@pytest.mark.parametrize('main_class', ['PrivateMain', 'PackageMain', 'ProtectedMain'])
def test_a_main_that_is_not_public_runs_where_java_runs_it(launch, access, runtime, main_class):
    # Java 17 refuses all three with its message and 1; Java 25 runs all but the private one.
    through_java = java(runtime, '-cp', access, main_class)
    through_launcher = launch(pinned(runtime, settings_text(access, main_class=main_class)))
    assert_same(through_java, through_launcher)
    assert through_launcher.returncode == (0 if runtime.feature >= 25 and main_class != 'PrivateMain' else 1)


@pytest.mark.parametrize('jre', JAVA25, ids=ids(JAVA25))
def test_a_class_without_any_main_still_fails_as_before(launch, forms, jre):
    runtime = jre
    result = launch(pinned(runtime, settings_text(forms, main_class='NoMain')))
    assert (result.returncode, result.stdout) == (255, b'')
    assert b'java.lang.NoSuchMethodError' in result.stderr


FX_MODULES = ['--module-path', str(OPENJFX), '--add-modules', 'javafx.graphics']


@pytest.fixture
def fx_classes(tmp_path):
    if not (OPENJFX / 'javafx.graphics.jar').exists():
        pytest.skip('openjfx is not installed')
    if not JAVA17:
        pytest.skip('no OpenJDK 17 under /usr/lib/jvm, which openjfx is built for')
    compile_java(JAVA17[0], tmp_path / 'fx', sorted((MAINS / 'fx').glob('*.java')), *FX_MODULES)
    return tmp_path / 'fx'


@pytest.mark.parametrize('jre', JAVA17, ids=ids(JAVA17))
@pytest.mark.parametrize('main_class, printed', [
    ('FxNoMain', b'fx started [a]\n'),
    ('FxWithMain', b'fx started [a]\n'),
    # An Application subclass with its own main: java starts the toolkit before main.
    ('FxRunLater', b'toolkit up before main [a]\n'),
])
def test_javafx_application(launch, fx_classes, display, jre, main_class, printed):
    runtime = jre
    through_java = java(runtime, *FX_MODULES, '-cp', fx_classes, main_class, 'a', env=display)
    parameters = f'--module-path={OPENJFX} --add-modules=javafx.graphics'
    through_launcher = launch(pinned(runtime, settings_text(fx_classes, main_class=main_class,
                                                            parameters=parameters)), ['a'], env=display)
    assert_same(through_java, through_launcher)
    assert through_launcher.stdout.endswith(printed)


@pytest.mark.parametrize('jre', JAVA17, ids=ids(JAVA17))
@pytest.mark.parametrize('main_class', ['FxNoMain', 'FxWithMain'])
def test_javafx_only_on_the_class_path_is_refused_as_java_refuses_it(launch, fx_classes, display, jre,
                                                                     main_class):
    runtime = jre
    class_path = f'{OPENJFX}/javafx.base.jar:{OPENJFX}/javafx.graphics.jar:{fx_classes}'
    through_java = java(runtime, '-cp', class_path, main_class, 'a', env=display)
    through_launcher = launch(pinned(runtime, settings_text(class_path, main_class=main_class)), ['a'], env=display)
    assert_same(through_java, through_launcher)
    assert through_launcher.stderr == b'Error: JavaFX runtime components are missing, and are required to run ' \
                                      b'this application\n' and through_launcher.returncode == 1


@pytest.mark.parametrize('main_class', ['com.example.fixture.Throws', 'com.example.fixture.Initializer'],
                         ids=['main', 'static initializer'])
def test_exception_out_of_main(launch, classes, runtime, main_class):
    through_java = java(runtime, '-cp', classes, main_class)
    through_launcher = launch(pinned(runtime, settings_text(classes, main_class)))
    # java ends with 1; the launcher's failure code is -1.
    assert through_java.returncode == 1
    assert_same(through_java, through_launcher, exit_code=255)


@pytest.mark.parametrize('handler', ['default', 'thread'])
def test_an_exception_out_of_main_goes_to_the_uncaught_exception_handler(launch, classes, runtime, handler):
    through_java = java(runtime, '-cp', classes, 'com.example.fixture.Handled', handler)
    through_launcher = launch(pinned(runtime, settings_text(classes, 'com.example.fixture.Handled')), [handler])
    assert through_java.returncode == 1
    assert_same(through_java, through_launcher, exit_code=255)
    named = {'default': b'the default handler', 'thread': b"the thread's handler"}[handler]
    assert through_launcher.stdout == named + b': main java.lang.IllegalStateException: out of main\n'
    assert through_launcher.stderr == b''


STACKS = [
    # case, options, environment
    ('-Xss16m', ['-Xss16m'], {}),
    # java sizes main's thread from -Xss alone, else as the machine's default.
    ('no -Xss', [], {}),
    ('-XX:ThreadStackSize', ['-XX:ThreadStackSize=16384'], {}),
    ('JAVA_TOOL_OPTIONS', [], {'JAVA_TOOL_OPTIONS': '-Xss16m'}),
]


@pytest.mark.parametrize('options, env', [case[1:] for case in STACKS], ids=[case[0] for case in STACKS])
def test_main_gets_the_stack_java_gives_it(launch, classes, runtime, options, env):
    options = ['-Xint', *options]
    through_java = java(runtime, *options, '-cp', classes, 'com.example.fixture.Depth', env=env)
    through_launcher = launch(pinned(runtime, settings_text(classes, 'com.example.fixture.Depth',
                                                            parameters=' '.join(options))), env=env)
    assert through_launcher.returncode == through_java.returncode == 0
    assert through_launcher.stderr == through_java.stderr
    depth, java_depth = int(through_launcher.stdout), int(through_java.stdout)
    assert abs(depth - java_depth) <= java_depth * 0.03, (depth, java_depth)


def application_names(runtime, process):
    """What jps -lm says of the process, once it runs."""
    assert process.stdout.readline() == b'waiting\n'
    listing = subprocess.run([tool(runtime, 'jps'), '-lm'], capture_output=True, timeout=60).stdout.decode()
    process.stdin.close()
    process.wait(timeout=60)
    return [line.split(' ', 1)[1] for line in listing.splitlines() if line.split(' ', 1)[0] == str(process.pid)]


def start_waiting(command):
    return subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=ENVIRONMENT)


def test_jps_names_the_application(launcher_binary, classes, tmp_path, runtime):
    if not (runtime.home / 'bin' / 'jps').exists():
        pytest.skip('the runtime has no jps')
    shutil.copy2(launcher_binary, tmp_path / 'app')
    (tmp_path / 'app.ini').write_text(pinned(runtime, settings_text(classes, 'com.example.fixture.Waits')))
    through_launcher = start_waiting([str(tmp_path / 'app'), 'one', 'two'])
    through_java = start_waiting([tool(runtime, 'java'), '-cp', str(classes), 'com.example.fixture.Waits',
                                  'one', 'two'])
    assert application_names(runtime, through_launcher) == application_names(runtime, through_java) \
        == ['com.example.fixture.Waits one two']


def command_line(runtime, process):
    """What jcmd VM.command_line says of the process, once it runs, but for its own first line."""
    assert process.stdout.readline() == b'waiting\n'
    said = subprocess.run([tool(runtime, 'jcmd'), str(process.pid), 'VM.command_line'], capture_output=True,
                          timeout=60).stdout.decode()
    process.stdin.close()
    process.wait(timeout=60)
    return said.splitlines()[1:]


def test_jcmd_sees_the_command_line_java_gives(launcher_binary, classes, tmp_path, runtime):
    if not (runtime.home / 'bin' / 'jcmd').exists():
        pytest.skip('the runtime has no jcmd')
    shutil.copy2(launcher_binary, tmp_path / 'app')
    (tmp_path / 'app.ini').write_text(pinned(runtime, settings_text(classes, 'com.example.fixture.Waits',
                                                                    parameters='-Xmx64m -Dapp.x=1')))
    through_launcher = command_line(runtime, start_waiting([str(tmp_path / 'app'), 'one']))
    through_java = command_line(runtime, start_waiting([tool(runtime, 'java'), '-Xmx64m', '-Dapp.x=1', '-cp',
                                                        str(classes), 'com.example.fixture.Waits', 'one']))
    assert 'Launcher Type: SUN_STANDARD' in through_java and 'jvm_args: -Xmx64m -Dapp.x=1 ' in through_java
    assert through_launcher == through_java


def test_the_machines_arguments_are_javas(launch, classes, runtime):
    # The launcher's hooks would be among them: none is handed over on Linux.
    options = ['-Xmx64m', '-Dapp.x=1']
    through_java = java(runtime, *options, '-cp', classes, 'com.example.fixture.Launched')
    through_launcher = launch(pinned(runtime, settings_text(classes, 'com.example.fixture.Launched',
                                                            parameters=' '.join(options))))
    assert_same(through_java, through_launcher)
    assert through_launcher.stdout.startswith(b'input=[-Xmx64m, -Dapp.x=1]\nlauncher=SUN_STANDARD\n')


@pytest.mark.parametrize('option, first_line, exit_code', [
    ('-XX:+ExitOnOutOfMemoryError', b'Terminating due to java.lang.OutOfMemoryError: Java heap space', 3),
    ('-XX:+CrashOnOutOfMemoryError', b'Aborting due to java.lang.OutOfMemoryError: Java heap space', 1),
])
def test_what_the_machine_prints_before_it_ends_the_process_is_there(launch, classes, runtime, tmp_path, option,
                                                                      first_line, exit_code):
    options = ['-Xmx32m', option, '-XX:-CreateCoredumpOnCrash', f'-XX:ErrorFile={tmp_path}/hs_err.log']
    through_java = java(runtime, *options, '-cp', classes, 'com.example.fixture.FillsHeap')
    through_launcher = launch(pinned(runtime, settings_text(classes, 'com.example.fixture.FillsHeap',
                                                            parameters=' '.join(options))))
    for result in (through_java, through_launcher):
        # Before the fatal error's banner, in order, as without the launcher.
        assert (result.returncode, result.stdout.splitlines()[0]) == (exit_code, first_line)


def test_jps_names_the_jar_that_is_run(launcher_binary, classes, tmp_path, runtime):
    # lib.jar comes first but names no Main-Class: app.jar is run, and named.
    if not (runtime.home / 'bin' / 'jps').exists():
        pytest.skip('the runtime has no jps')
    for name, manifest in (('lib', 'Manifest-Version: 1.0\n'),
                           ('app', 'Manifest-Version: 1.0\nMain-Class: com.example.fixture.Waits\n')):
        (tmp_path / f'{name}.mf').write_text(manifest)
        subprocess.run([tool(runtime, 'jar'), '--create', '--file', str(tmp_path / f'{name}.jar'), '--manifest',
                        str(tmp_path / f'{name}.mf'), '-C', str(classes), '.'], check=True)
    shutil.copy2(launcher_binary, tmp_path / 'app')
    (tmp_path / 'app.ini').write_text(pinned(runtime, settings_text(f'{tmp_path}/lib.jar:{tmp_path}/app.jar',
                                                                    main_class='')))
    through_launcher = start_waiting([str(tmp_path / 'app'), 'one'])
    through_java = start_waiting([tool(runtime, 'java'), '-jar', str(tmp_path / 'app.jar'), 'one'])
    assert application_names(runtime, through_launcher) == application_names(runtime, through_java) \
        == [f'{tmp_path}/app.jar one']


def test_the_parameters_may_name_the_application(launcher_binary, classes, tmp_path, runtime):
    # java would put its own after it; the launcher leaves the settings' choice.
    if not (runtime.home / 'bin' / 'jps').exists():
        pytest.skip('the runtime has no jps')
    shutil.copy2(launcher_binary, tmp_path / 'app')
    (tmp_path / 'app.ini').write_text(pinned(runtime, settings_text(
        classes, 'com.example.fixture.Waits', parameters='-Xmx64m "-Dsun.java.command=My Tool"')))
    assert application_names(runtime, start_waiting([str(tmp_path / 'app'), 'one'])) == ['My Tool']


@pytest.mark.parametrize('main_class', ['com.example.Missing', 'com.example.fixture.Throws'])
def test_failures_on_the_thread_of_xss_end_the_launch(launch, classes, runtime, main_class):
    # The thread leaves the machine before it ends, else DestroyJavaVM would wait for it for good.
    result = launch(pinned(runtime, settings_text(classes, main_class, parameters='-Xss16m')))
    assert result.returncode == 255
