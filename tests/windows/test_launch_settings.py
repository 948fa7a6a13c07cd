"""The launch up to the settings: which messages, owners and exit codes."""
import os

from wine import MINUS_ONE, install_launcher

NO_CLASS_PATH = b'Java Class Path was not specified in INI file.'
NO_MAIN_CLASS = b'Main class was not specified in INI file.'


def test_without_settings_file_the_class_path_is_missing(wine, tmp_path):
    exe = install_launcher(tmp_path / 'app')
    run = wine.run(exe)
    assert [(b.owner, b.text) for b in run.boxes] == [('(none)', NO_CLASS_PATH)]
    assert run.exit_code == MINUS_ONE
