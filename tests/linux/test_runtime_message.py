"""The message when no runtime is taken: the application's own text and
address, and the runtimes that were found and passed over, each with why."""
from linux_rig import RUNTIMES, settings_text


def passed_over(reason='out of the range the settings ask for'):
    """The lines of the runtimes under /usr/lib/jvm, in the search's order (name order, links included)."""
    homes = sorted(p for p in RUNTIMES[0].home.parent.iterdir() if (p / 'release').is_file())
    versions = {runtime.home: runtime.version for runtime in RUNTIMES}
    lines = [f'Java {versions[home.resolve()]} in {home}/: {reason}' for home in homes if home.resolve() in versions]
    return '\n\nFound, but not taken:\n' + '\n'.join(lines[:5])


def test_the_applications_text_and_address_with_the_runtimes_passed_over(launch, classes):
    settings = settings_text(classes, minimum='99') + (
        '[Application]\n'
        'Runtime Missing Message=My App needs Java (%1), 100% free: get it from\n'
        'Runtime Download Address=https://example.com/java?for=myapp&v=99\n')
    result = launch(settings)
    assert result.returncode == 255
    assert result.stderr.decode() == ('My App needs Java (minimum 99), 100% free: get it from\n'
                                      'https://example.com/java?for=myapp&v=99' + passed_over() + '\n')


def test_the_launchers_own_text_with_the_applications_address(launch, classes):
    settings = settings_text(classes, maximum='1.4') + '[Application]\nRuntime Download Address=https://example.com/\n'
    result = launch(settings)
    assert result.stderr.decode() == (
        'Java Runtime Environment (JRE) not found. Please download and install JRE (maximum 1.4) from: \n'
        'https://example.com/' + passed_over() + '\n')


def test_an_address_with_a_control_character_stops_the_launch(launch, classes):
    settings = settings_text(classes) + '[Application]\nRuntime Download Address=https://example.com/\x1b]0;x\x07\n'
    result = launch(settings)
    assert (result.returncode, result.stdout) == (255, b'')
    assert result.stderr.decode() == (
        'The setting Runtime Download Address holds a control character.\n')
