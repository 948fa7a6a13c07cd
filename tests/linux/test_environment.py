"""The section [Environment]: each variable is set before the runtime is
loaded, in the order written, and the application sees it through
System.getenv."""
from linux_rig import settings_text

ENVIRONMENT_MAIN = 'com.example.fixture.Environment'
NAMES = ['MYAPP_HOME', 'MYAPP_LIB', 'MYAPP_GONE', 'PATH', 'MYAPP_QUOTED']


def only(runtime):
    return {'minimum': runtime.version, 'maximum': runtime.version}


def test_the_application_sees_the_variables_in_the_order_written(launch, classes, runtime, tmp_path):
    settings = settings_text(classes, ENVIRONMENT_MAIN, '-Dx=%MYAPP_LIB%', **only(runtime)) + (
        '[Environment]\n'
        'MYAPP_HOME=%APPDIR%\n'
        'MYAPP_LIB = %MYAPP_HOME%/lib\n'
        'MYAPP_GONE=\n'
        'PATH=%APPDIR%/native:%PATH%\n'
        "MYAPP_QUOTED=' two words '\n"
        'JAVA_TOOL_OPTIONS=-Dy=from-the-tool-options\n')
    result = launch(settings, NAMES, env={'MYAPP_GONE': 'set by the parent', 'PATH': '/usr/bin:/bin'})
    assert result.returncode == 0, result.stderr.decode(errors='replace')
    app = tmp_path / 'app'
    assert result.stdout.decode().splitlines() == [
        f'MYAPP_HOME={app}', f'MYAPP_LIB={app}/lib', 'MYAPP_GONE unset', f'PATH={app}/native:/usr/bin:/bin',
        'MYAPP_QUOTED= two words ',
        # The parameters are expanded with the variables of the section, and
        # the machine reads JAVA_TOOL_OPTIONS when it is created.
        f'property x={app}/lib', 'property y=from-the-tool-options']
    assert b'Picked up JAVA_TOOL_OPTIONS' in result.stderr


def test_a_line_without_a_name_stops_the_launch(launch, classes, runtime):
    settings = settings_text(classes, ENVIRONMENT_MAIN, **only(runtime)) + '[Environment]\nA=1\n=value\n'
    result = launch(settings, ['A'])
    assert result.returncode == 255
    assert result.stdout == b''
    assert result.stderr.decode() == (
        'A line of [Environment] names no variable: =value\n')
