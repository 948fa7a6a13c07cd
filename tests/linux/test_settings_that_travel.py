"""%APPDIR% and environment variables in the settings: the application finds
its files from any current directory."""
from linux_rig import report, settings_text


def test_appdir_and_variables_from_another_directory(launch, classes, tmp_path):
    directory = tmp_path / 'my app'
    directory.mkdir()
    (directory / 'lib').symlink_to(classes)
    settings = settings_text('%APPDIR%/lib', parameters='-Dx=%APPDIR% -Dy=%TRAVEL_TEST%:%UNSET_NAME%:100%')
    result = launch(settings, directory='my app', env={'TRAVEL_TEST': 'two words'})
    assert result.returncode == 0, result.stderr.decode(errors='replace')
    values = report(result)[0]
    assert values['class.path'] == '%s/lib' % directory
    assert (values['x'], values['y']) == (str(directory), 'two words:%UNSET_NAME%:100%')
