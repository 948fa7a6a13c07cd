"""A folder whose name the locale cannot decode is told before the virtual
machine is handed paths in it that it could not read."""
import os

from linux_rig import RUNTIMES, report, settings_text

UNDECODABLE = (b" cannot be decoded in the locale's character encoding, and Java cannot read paths in it. "
               b"Start the application in a UTF-8 locale (such as LANG=C.UTF-8), or install it in a folder "
               b"whose names the locale can decode.\n")


def test_an_undecodable_folder_is_told_on_standard_error_and_in_the_trace(launch, classes, tmp_path):
    trace = tmp_path / 'trace.txt'
    result = launch(settings_text(classes), directory='Łukasz/app', locale={'LC_ALL': 'C'},
                    env={'JAVA_LAUNCHER_TRACE': str(trace)})
    folder = os.fsencode(tmp_path / 'Łukasz')
    told = b'The name of ' + folder + UNDECODABLE
    assert result.stderr.startswith(told)
    assert b'message: ' + told in trace.read_bytes()


def test_the_same_folder_in_a_utf8_locale_starts_without_a_word(launch, classes, tmp_path):
    result = launch(settings_text(classes, minimum=RUNTIMES[-1].version), directory='Łukasz/app',
                    arguments=['Łukasz'])
    assert result.returncode == 0 and b'decoded' not in result.stderr, result.stderr
    assert report(result)[1] == ['Łukasz']
