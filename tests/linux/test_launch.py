"""The Linux launcher with every runtime installed under /usr/lib/jvm."""
from pathlib import Path

import pytest

from linux_rig import RUNTIMES, report, settings_text

NOT_FOUND = ('Java Runtime Environment (JRE) not found. Please download and install JRE '
             '(minimum 99) from: \nhttps://adoptium.net/\n')


def only(runtime):
    """Settings that leave exactly this runtime in the version range."""
    return {'minimum': runtime.version, 'maximum': runtime.version}


def runtime_home(result):
    assert result.returncode == 0, result.stderr.decode(errors='replace')
    return Path(report(result)[0]['home']).resolve()


# Arguments as the system hands them over, and what main must receive. In the
# single-byte locale the byte 0xE9 must become U+00E9: decoding by the machine's
# default charset would give U+FFFD on runtimes from 18 on, which default to UTF-8.
ARGUMENTS = {
    'utf-8': (None, ['plain', 'two words', 'é', 'grüße €', '😀', '', '-nosplash'], 'UTF-8'),
    'latin-1': ('latin1_locale', ['é', 'café', 'two words', 'ÿ'], 'ISO-8859-1'),
}


@pytest.mark.parametrize('locale', sorted(ARGUMENTS))
def test_arguments_arrive_intact(launch, classes, runtime, locale, request):
    fixture, arguments, encoding = ARGUMENTS[locale]
    environment = request.getfixturevalue(fixture) if fixture else None
    raw = [argument.encode(encoding) for argument in arguments]
    result = launch(settings_text(classes, **only(runtime)), raw, locale=environment)
    assert runtime_home(result) == runtime.home
    values, received = report(result)
    assert values['jnu'] == encoding
    assert received == arguments


def test_no_arguments_give_an_empty_array(launch, classes, runtime):
    result = launch(settings_text(classes, **only(runtime)))
    assert runtime_home(result) == runtime.home
    assert report(result)[1] == []


def test_class_path_and_parameters_reach_the_machine(launch, classes, runtime, tmp_path):
    spaced = tmp_path / 'class files'
    spaced.symlink_to(classes)
    class_path = f'/no/such/directory:{spaced}'
    result = launch(settings_text(class_path, parameters='-Dx=1 "-Dy=two words" -Xmx64m',
                                  **only(runtime)))
    assert runtime_home(result) == runtime.home
    values = report(result)[0]
    assert (values['x'], values['y'], values['class.path']) == ('1', 'two words', class_path)


@pytest.mark.parametrize('layout', ['jre', 'own-directory'])
def test_private_runtime_is_used_whatever_the_range(launch, classes, runtime, layout):
    # The launcher standing in a runtime's home: its lib/ beside the binary is enough.
    links = {'jre': runtime.home} if layout == 'jre' else {'lib': runtime.home / 'lib'}
    result = launch(settings_text(classes, minimum='99'), private_runtime=links)
    assert runtime_home(result) == runtime.home


def test_private_runtime_for_another_processor_is_named(launch, classes, tmp_path):
    # A 64-bit ARM libjvm.so: its headers alone tell that it could never be loaded here.
    jre = tmp_path / 'jre'
    (jre / 'lib' / 'server').mkdir(parents=True)
    (jre / 'lib' / 'libjava.so').write_bytes(b'')
    (jre / 'lib' / 'server' / 'libjvm.so').write_bytes(b'\x7fELF\x02\x01\x01' + bytes(11) + b'\xb7\x00' + bytes(44))
    result = launch(settings_text(classes), private_runtime={'jre': jre})
    assert (result.returncode, result.stderr.decode()) == (255, (
        f'Java Runtime Environment (JRE) in directory {tmp_path}/app/jre/ cannot be used: '
        'its VM library is built for another processor.\n'))


@pytest.mark.parametrize('name, ini', [('app', 'app.ini'), ('my.tool', 'my.ini')])
def test_settings_file_beside_the_binary(launch, classes, name, ini):
    result = launch(settings_text(classes), ['ok'], name=name, ini=ini)
    assert result.returncode == 0 and report(result)[1] == ['ok']


def test_binary_in_a_directory_path_of_over_300_bytes(launch, classes):
    deep = '/'.join('level%d-%s' % (i, 'x' * 60) for i in range(5))
    result = launch(settings_text(classes), ['deep'], directory=deep)
    assert result.returncode == 0 and report(result)[1] == ['deep']


def choice_cases():
    """(settings, expected runtime) for bounds and preferences over the installed runtimes."""
    if not RUNTIMES:
        return []
    highest = RUNTIMES[-1]
    cases = [({}, highest)]
    for index, runtime in enumerate(RUNTIMES):
        feature = runtime.feature
        at_most = [r for r in RUNTIMES if r.feature <= feature][-1]
        cases += [({'maximum': str(feature)}, at_most), ({'minimum': str(feature)}, highest),
                  ({'preferred': f'98;{feature}'}, runtime),
                  ({'maximum': str(feature + 1)}, at_most)]
        if index + 1 < len(RUNTIMES):
            cases.append(({'minimum': str(feature + 1)}, highest))
    return cases


@pytest.mark.parametrize('settings, expected', choice_cases(),
                         ids=lambda v: '-'.join(f'{k}={x}' for k, x in v.items()) or 'open'
                         if isinstance(v, dict) else v.home.name)
def test_runtime_choice(launch, classes, settings, expected):
    assert runtime_home(launch(settings_text(classes, **settings))) == expected.home


def test_no_runtime_in_range(launch, classes):
    result = launch(settings_text(classes, minimum='99'))
    # The runtimes installed are all out of the range: the message names them.
    assert result.returncode == 255
    message = result.stderr.decode()
    assert message.startswith(NOT_FOUND.rstrip('\n') + '\n\nFound, but not taken:\n')
    assert all(f'Java {r.version} in {r.home}/: out of the range the settings ask for' in message for r in RUNTIMES)


def test_no_settings_file(launch):
    result = launch(None)
    assert (result.returncode, result.stderr) == (255, b'Java Class Path was not specified in INI file.\n')


def test_no_main_class_setting(launch, classes):
    result = launch(settings_text(classes, main_class=''))
    assert (result.returncode, result.stderr) == (255, b'Main class was not specified in INI file.\n')


def test_throwing_main_exits_minus_one(launch, classes, runtime):
    result = launch(settings_text(classes, 'com.example.fixture.Throws', **only(runtime)))
    assert result.returncode == 255
    assert b'java.lang.IllegalStateException: thrown by the fixture' in result.stderr


def test_missing_main_class(launch, classes, runtime):
    result = launch(settings_text(classes, 'com.example.Missing', **only(runtime)))
    assert result.returncode == 255
    assert b'NoClassDefFoundError' in result.stderr
    assert result.stderr.endswith(b'Could not find the main class com/example/Missing.\n')


def test_instance_main_is_refused(launch, classes, runtime):
    result = launch(settings_text(classes, 'com.example.fixture.InstanceMain', **only(runtime)))
    if runtime.feature >= 25:
        # Java 25 admits instance mains, and the launcher runs them as java does.
        assert (result.returncode, result.stdout) == (0, b'instance main ran\n')
        return
    assert (result.returncode, result.stdout) == (255, b'')
    assert b'java.lang.NoSuchMethodError' in result.stderr
    assert b'No main method found' not in result.stderr
    assert b'Could not find the main class' not in result.stderr


def test_non_daemon_thread_outlives_main(launch, classes, runtime):
    result = launch(settings_text(classes, 'com.example.fixture.Worker', **only(runtime)))
    assert (result.returncode, result.stdout) == (0, b'main returned\nworker finished\n')


def test_system_exit_code(launch, classes, runtime):
    result = launch(settings_text(classes, 'com.example.fixture.Exit', **only(runtime)))
    assert (result.returncode, result.stdout) == (3, b'')


def test_unrecognised_vm_option(launch, classes, runtime):
    result = launch(settings_text(classes, parameters='-XX:+NoSuchOptionAnywhere', **only(runtime)))
    assert result.returncode == 255
    assert b'NoSuchOptionAnywhere' in result.stderr
    assert result.stderr.endswith(b'JNI exception: failed to create the Java VM.\n')
