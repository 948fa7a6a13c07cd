"""Creating the virtual machine and running the main class, end to end, with a
test double of the runtime's jvm.dll that records what it is handed."""
import pytest

from wine import MINUS_ONE, events, launch_application


def launch(wine, tmp_path, **settings):
    """launch_application, in a case where no message box may have an owner."""
    run = launch_application(wine, tmp_path, **settings)
    assert [box.owner for box in run.boxes if box.owner != '(none)'] == []
    return run


def strings(values):
    """The recorded Java strings as (bytes, name of the encoding used)."""
    return [(bytes.fromhex(v['hex']), v['encoding']) for v in values]


# Today's settings give today's options, and then the names tools show for the
# process (sun.java.command, as java sets it: the main class and the arguments;
# then what java says of itself).
COMMAND = b'-Dsun.java.command=com.example.Main'
LAUNCHER = b'-Dsun.java.launcher=SUN_STANDARD'


@pytest.mark.parametrize('class_path, parameters, options', [
    ('lib\\a.jar', '-Xmx256m -Dx=1', [b'-Djava.class.path=lib\\a.jar', b'-Xmx256m', b'-Dx=1', COMMAND, LAUNCHER]),
    ('a.jar', '', [b'-Djava.class.path=a.jar', COMMAND, LAUNCHER]),
    ('a.jar;b.jar', '"-Dp=x y"  -Djava.class.path=c.jar -Dname=\xe9',
     [b'-Djava.class.path=a.jar;b.jar', b'-Dp=x y', b'-Djava.class.path=c.jar', b'-Dname=\xe9', COMMAND, LAUNCHER]),
], ids=['class path and two parameters', 'class path alone', 'quoted, repeated and ANSI parameters'])
def test_the_machine_is_created_with_exactly_the_configured_options(wine, tmp_path, class_path, parameters,
                                                                    options):
    run = launch(wine, tmp_path, class_path=class_path, parameters=parameters)
    [create] = events(run, 'create')
    assert [bytes.fromhex(option) for option in create['options']] == options
    # After them the hooks through which the machine says why it cannot start.
    assert (create['version'], create['nOptions'], create['ignoreUnrecognized'], create['extraInfoNull']) \
        == (0x00010002, len(options) + 3, 0, True)
    assert create['hooks'] == ['vfprintf', 'abort', 'exit']
    assert not create['defaultArgsCalled'] and events(run, 'default_init_args') == []
    assert run.exit_code == 0


LOAD_AND_CREATE_FAILURES = [
    # case, launch settings, message ({library} is the jvm.dll's path), events
    ('not a library', dict(vm_library=b'This is no DLL.\r\n'),
     b'Failed to load Java VM library: {library} (errno = 193).\n', []),
    ('a DLL it imports is missing', dict(vm_library='jvm_double_with_helper.dll'),
     b'Failed to load Java VM library: {library} (errno = 126).\n', []),
    ('no JNI_GetDefaultJavaVMInitArgs', dict(vm_library='jvm_double_without_default_args.dll'),
     b'Windows exception: cannot find CreateJavaVM JNI (errno = 127).\n', []),
    ('no JNI_CreateJavaVM', dict(vm_library='jvm_double_without_create.dll'),
     b'Windows exception: cannot find CreateJavaVM JNI (errno = 127).\n', []),
    ('the machine refuses to start', dict(create_result=-6),
     b'JNI exception: failed to create the Java VM.\n', ['create']),
]


@pytest.mark.parametrize('settings, message, recorded', [case[1:] for case in LOAD_AND_CREATE_FAILURES],
                         ids=[case[0] for case in LOAD_AND_CREATE_FAILURES])
def test_a_runtime_that_cannot_give_a_machine_ends_the_launch(wine, tmp_path, settings, message, recorded):
    run = launch(wine, tmp_path, **settings)
    assert run.texts == [message.replace(b'{library}', run.library)]
    assert run.exit_code == MINUS_ONE
    # Without a machine nothing is looked up in it, and nothing is destroyed.
    assert [e['event'] for e in run.events] == recorded


# The double's stack trace: what a box shows of where an exception came from.
FRAMES = b'\tat com.example.Main.main(Main.java:3)\n\tat com.example.Main.run(Main.java:7)\n'

MAIN_OUTCOMES = [
    # case, launch settings, exceptions described, messages, exit code, milestones
    ('runs', {}, [], [], 0, ['main', 'detach', 'destroy']),
    # The specified message first, then the exception the class loader left and its cause.
    ('main class missing', dict(main_class='com.example.Missing'), ['java/lang/NoClassDefFoundError'],
     [b'Could not find the main class com/example/Missing.\n'
      b'java.lang.NoClassDefFoundError: com/example/Missing\n'
      b'Caused by: java.lang.ClassNotFoundException: com/example/Missing\n'], MINUS_ONE, ['destroy']),
    ('main not static', dict(main='instance'), ['java/lang/NoSuchMethodError'],
     [b'java.lang.NoSuchMethodError: main\n' + FRAMES], MINUS_ONE, ['destroy']),
    ('no main, nothing pending', dict(main='absent'), [],
     [b'No main method found in specified class.\n'], MINUS_ONE, ['destroy']),
    ('class name cannot become a string', dict(fail_string=1), [],
     [b'Failed to load Main Class: com/example/Main.\n'], MINUS_ONE, ['destroy']),
    ('an argument cannot become a string', dict(fail_string=2, tail=' x'), ['java/lang/OutOfMemoryError'],
     [], MINUS_ONE, ['destroy']),
    # Left pending for the thread's uncaught-exception handler, which the machine calls as the thread leaves.
    ('main throws', dict(main_throws=1), [],
     [b'Exception in thread "main" java.lang.RuntimeException: thrown by main\n' + FRAMES], MINUS_ONE,
     ['main', 'detach', 'destroy']),
    ('detach fails', dict(detach_result=-1), [], [], MINUS_ONE, ['main', 'detach', 'destroy']),
]


@pytest.mark.parametrize('settings, described, messages, exit_code, milestones',
                         [case[1:] for case in MAIN_OUTCOMES], ids=[case[0] for case in MAIN_OUTCOMES])
def test_how_the_main_class_and_its_method_end_the_launch(wine, tmp_path, settings, described, messages,
                                                         exit_code, milestones):
    run = launch(wine, tmp_path, **settings)
    assert [e['exception'] for e in events(run, 'describe')] == described
    assert [e['uncaught'] for e in events(run, 'detach') if e['uncaught']] == \
        (['java/lang/RuntimeException'] if settings.get('main_throws') else [])
    assert run.texts == messages
    assert run.exit_code == exit_code
    # The machine, once created, is destroyed on every path, and last.
    assert [e['event'] for e in events(run, 'main', 'detach', 'destroy', 'destroyed')] \
        == milestones + ['destroyed']
    assert run.events[-1]['event'] == 'destroyed'


def test_the_main_class_is_looked_up_with_slashes(wine, tmp_path):
    run = launch(wine, tmp_path, main_class='com.example.Main')
    assert [e['name'] for e in events(run, 'find_class') if e['name'].startswith('com')] == ['com/example/Main']
    assert [e['class'] for e in events(run, 'main')] == ['com/example/Main']


@pytest.mark.parametrize('tail, arguments', [
    ('', []),
    ('   ', []),
    (' a "b c" "" -nosplash x"y "q', [b'a', b'b c', b'', b'-nosplash', b'x"y', b'q']),
    (' \xe9t\xe9\tx  /nosplash ', [b'\xe9t\xe9\tx', b'/nosplash']),
], ids=['none', 'blanks only', 'quotes, empty item and the splash switch', 'ANSI bytes and a tab'])
def test_arguments_reach_main_byte_for_byte(wine, tmp_path, tail, arguments):
    run = launch(wine, tmp_path, tail=tail)
    [main] = events(run, 'main')
    assert strings(main['args']) == [(argument, 'Cp1252') for argument in arguments]
    assert run.exit_code == 0


@pytest.mark.parametrize('property_value, constructor, encoding', [
    ('Cp1252', 'String(byte[],String)', 'Cp1252'),
    ('MS932', 'String(byte[],String)', 'MS932'),
    ('(none)', 'String(byte[])', None),
    ('(throws)', 'String(byte[])', None),
], ids=['Cp1252', 'MS932', 'property missing', 'property lookup throws'])
def test_texts_are_decoded_with_the_machines_native_encoding(wine, tmp_path, property_value, constructor,
                                                            encoding):
    run = launch(wine, tmp_path, tail=' \xe9', encoding=property_value)
    made = [(e['via'], e['encoding']) for e in events(run, 'string') if e['via'].startswith('String(')]
    assert made == [(constructor, encoding)] * 2    # the main class name, then the argument
    assert strings(events(run, 'main')[0]['args']) == [(b'\xe9', encoding)]
    # A failed lookup of the encoding is no failure of the launch.
    assert events(run, 'describe') == [] and run.exit_code == 0


def test_the_process_lives_until_the_applications_own_thread_ends(wine, tmp_path):
    run = launch(wine, tmp_path, app_thread_ms=1500)
    order = events(run, 'main', 'detach', 'destroy', 'app_thread_end', 'destroyed')
    assert [e['event'] for e in order] == ['main', 'detach', 'destroy', 'app_thread_end', 'destroyed']
    main, _, destroy, thread_end, destroyed = order
    assert destroy['time'] - main['time'] < 1000 <= thread_end['time'] - main['time']
    assert destroyed['time'] >= thread_end['time'] and not destroy['attached']
    assert run.exit_code == 0


@pytest.mark.parametrize('home', ['jre', '.'], ids=['runtime in jre', 'runtime beside the executable'])
def test_the_vm_library_finds_its_own_dlls_in_the_runtimes_bin_folder(wine, tmp_path, home):
    run = launch(wine, tmp_path, home=home, vm_library='jvm_double_with_helper.dll',
                 bin_files=['jvm_double_helper.dll'])
    assert [e['helper'] for e in events(run, 'create')] == [42]
    assert run.exit_code == 0


def test_the_arguments_follow_the_main_class_in_the_name_tools_show(wine, tmp_path):
    run = launch(wine, tmp_path, tail=' one "two words" \xe9')
    [create] = events(run, 'create')
    assert bytes.fromhex(create['options'][-2]) == COMMAND + b' one two words \xe9'


def test_parameters_that_name_the_process_keep_their_name(wine, tmp_path):
    run = launch(wine, tmp_path, parameters='-Dsun.java.command=Mine -Xmx64m')
    [create] = events(run, 'create')
    assert [bytes.fromhex(o) for o in create['options']] == [
        b'-Djava.class.path=app.jar', b'-Dsun.java.command=Mine', b'-Xmx64m', LAUNCHER]
    run = launch(wine, tmp_path, parameters='-Dsun.java.launcher=Mine')
    [create] = events(run, 'create')[-1:]
    assert [bytes.fromhex(o) for o in create['options']] == [
        b'-Djava.class.path=app.jar', b'-Dsun.java.launcher=Mine', COMMAND]


def test_a_modular_application_needs_no_class_path(wine, tmp_path):
    # Without the runtime's launcher helper (as in the double) the class part is loaded as a class.
    run = launch(wine, tmp_path, class_path='', main_class='',
                 parameters='--module-path=mods', extra_settings='Main Module=app/com.example.Main\n')
    [create] = events(run, 'create')
    assert [bytes.fromhex(o) for o in create['options']] == [
        b'--module-path=mods', b'-Djdk.module.main=app', b'-Dsun.java.command=app/com.example.Main', LAUNCHER]
    assert [e['class'] for e in events(run, 'main')] == ['com/example/Main'] and run.exit_code == 0


def test_a_main_jar_that_the_runtime_cannot_read(wine, tmp_path):
    # The class path holds a JAR file, so that its manifest may name the main
    # class; a runtime without java.util.jar reads none.
    (tmp_path / 'app').mkdir()
    (tmp_path / 'app' / 'app.jar').write_bytes(b'PK\x05\x06' + bytes(18))
    run = launch(wine, tmp_path, class_path='%APPDIR%\\app.jar', main_class='')
    assert run.texts == [b'Main class was not specified in INI file.']
    assert [e['event'] for e in events(run, 'create', 'main', 'destroy')] == ['create', 'destroy']
    assert run.exit_code == MINUS_ONE


@pytest.mark.parametrize('parameters, on_its_own_thread, reserve', [
    ('-Xss16m', True, 16 << 20),
    ('-Xss8m -Xss64m', True, 64 << 20),
    ('-Xss64k', False, None),
    ('', False, None),
], ids=['16 MiB', 'the last one counts', 'less than the launcher has', 'no -Xss'])
def test_the_machine_gets_the_stack_of_xss(wine, tmp_path, parameters, on_its_own_thread, reserve):
    run = launch(wine, tmp_path, parameters=parameters, app_thread_ms=300)
    [create] = events(run, 'create')
    assert create['firstThread'] is not on_its_own_thread
    if reserve:
        assert create['stackReserve'] == reserve
    # The launch goes on as ever: main, detach, then DestroyJavaVM waits for the application.
    assert [e['event'] for e in events(run, 'main', 'detach', 'destroy', 'app_thread_end', 'destroyed')] \
        == ['main', 'detach', 'destroy', 'app_thread_end', 'destroyed']
    assert run.exit_code == 0


@pytest.mark.parametrize('settings, described', [
    (dict(main_class='com.example.Missing'), ['java/lang/NoClassDefFoundError']),
    (dict(main_throws=1), []),
], ids=['main class missing', 'main throws'])
def test_the_thread_of_xss_leaves_the_machine_once_before_it_ends(wine, tmp_path, settings, described):
    run = launch(wine, tmp_path, parameters='-Xss16m', **settings)
    assert [e['exception'] for e in events(run, 'describe')] == described
    assert [e['uncaught'] for e in events(run, 'detach')] == \
        (['java/lang/RuntimeException'] if settings.get('main_throws') else [None])
    assert [e['event'] for e in events(run, 'detach', 'destroy', 'destroyed')] == ['detach', 'destroy', 'destroyed']
    assert not events(run, 'destroy')[0]['attached'] and run.exit_code == MINUS_ONE
