"""The section [Environment] under Wine: each variable is set before jvm.dll
is loaded, in the order written, and the machine sees it."""
from wine import MINUS_ONE, events, launch_application, windows_path


def test_the_machine_sees_the_variables_in_the_order_written(wine, tmp_path):
    settings = ('[Environment]\n'
                'MYAPP_HOME=%APPDIR%\n'
                'MYAPP_LIB = %MYAPP_HOME%\\lib\n'
                'MYAPP_GONE=\n'
                'PATH=%APPDIR%\\native;%PATH%\n'
                'MYAPP_QUOTED=" two words "\n')
    run = launch_application(wine, tmp_path, extra_settings=settings, env={'MYAPP_GONE': 'set by the parent'},
                             getenv='MYAPP_HOME;MYAPP_LIB;MYAPP_GONE;PATH;MYAPP_QUOTED')
    assert (run.boxes, run.exit_code) == ([], 0)
    app = windows_path(tmp_path / 'app')
    [seen] = [e['variables'] for e in events(run, 'environment')]
    path = seen.pop('PATH')
    assert seen == {'MYAPP_HOME': app, 'MYAPP_LIB': app + '\\lib', 'MYAPP_GONE': None,
                    'MYAPP_QUOTED': ' two words '}
    native, _, system = path.partition(';')
    assert native == app + '\\native' and 'system32' in system.lower()


def test_a_line_without_a_name_stops_the_launch(wine, tmp_path):
    run = launch_application(wine, tmp_path, extra_settings='[Environment]\nA=1\n = value\n', getenv='A')
    assert [b.text for b in run.boxes] == [
        b'A line of [Environment] names no variable: =value']
    assert run.exit_code == MINUS_ONE and events(run, 'create') == []
