"""Fixtures of the Linux launcher tests: the compiled fixture programs, a
single-byte locale, and a copy of the launcher in a temporary directory."""
import os
import shutil
import subprocess

import pytest

from linux_rig import LAUNCHER, FIXTURES, RUNTIMES


def pytest_generate_tests(metafunc):
    if 'runtime' in metafunc.fixturenames:
        metafunc.parametrize('runtime', RUNTIMES, ids=[r.home.name for r in RUNTIMES])


@pytest.fixture(scope='session')
def launcher_binary():
    if not LAUNCHER.is_file():
        pytest.fail(f'no Linux launcher at {LAUNCHER}: build it or set LAUNCHER_LINUX_BUILD')
    return LAUNCHER


@pytest.fixture(scope='session')
def classes(tmp_path_factory):
    """The fixture programs, compiled for the oldest runtime's release so that every runtime runs them."""
    compilers = [r for r in RUNTIMES if (r.home / 'bin' / 'javac').exists()]
    if not compilers:
        pytest.skip('no JDK with javac under /usr/lib/jvm')
    output = tmp_path_factory.mktemp('classes')
    sources = sorted(str(p) for p in FIXTURES.rglob('*.java'))
    subprocess.run([str(compilers[0].home / 'bin' / 'javac'), '--release', str(RUNTIMES[0].feature),
                    '-d', str(output), *sources], check=True)
    return output


@pytest.fixture(scope='session')
def latin1_locale(tmp_path_factory):
    """The environment of a single-byte ISO-8859-1 locale, compiled for the session."""
    if not shutil.which('localedef'):
        pytest.skip('localedef is not installed')
    directory = tmp_path_factory.mktemp('locales')
    # localedef exits with 1 after mere warnings; the compiled locale is what counts.
    subprocess.run(['localedef', '-i', 'en_US', '-f', 'ISO-8859-1',
                    str(directory / 'en_US.ISO-8859-1')], capture_output=True)
    if not (directory / 'en_US.ISO-8859-1' / 'LC_CTYPE').exists():
        pytest.fail('localedef could not make en_US.ISO-8859-1')
    return {'LC_ALL': 'en_US.ISO-8859-1', 'LOCPATH': str(directory)}


@pytest.fixture
def launch(launcher_binary, tmp_path):
    """Runs a copy of the launcher with its settings file (None: no settings file).

    private_runtime: {link name in the launcher's directory: target}, to ship a runtime;
    cwd: the directory it starts in (by default the tests' own)."""
    def run(settings, arguments=(), locale=None, private_runtime=(), name='app', ini='app.ini',
            directory='app', env=None, cwd=None):
        directory = tmp_path / directory
        directory.mkdir(parents=True, exist_ok=True)
        shutil.copy2(launcher_binary, directory / name)
        if settings is not None:
            (directory / ini).write_text(settings)
        for link, target in dict(private_runtime).items():
            (directory / link).symlink_to(target)
        environment = {'PATH': os.environ.get('PATH', '/usr/bin:/bin'), 'LC_ALL': 'C.UTF-8'}
        environment.update(locale or {})
        environment.update(env or {})
        return subprocess.run([str(directory / name), *arguments], capture_output=True,
                              env=environment, timeout=120, cwd=cwd)
    return run


@pytest.fixture(scope='session')
def xvfb_display():
    """':N' of a private Xvfb server for the session: Xvfb names its number on the descriptor given."""
    if not shutil.which('Xvfb'):
        pytest.skip('Xvfb is not installed')
    read, write = os.pipe()
    server = subprocess.Popen(['Xvfb', '-displayfd', str(write), '-screen', '0', '1024x768x24', '-nolisten', 'tcp'],
                              pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as numbers:
        number = numbers.readline().strip()
    yield ':' + number
    server.terminate()
    server.wait()
