import os
import shutil
import subprocess
import tempfile

import pytest

from wine import BUILD_NAME, ROOT, WINE_STARTS, Wine


def reason_the_build_cannot_run():
    """Why this machine cannot run the build under test, or None. Wine runs
    32-bit programs as 32-bit Linux processes, which some kernels refuse."""
    if BUILD_NAME != 'win32':
        return None
    check = subprocess.run([os.path.join(ROOT, 'scripts', 'can-run-32-bit.sh')],
                           capture_output=True, text=True)
    if check.returncode == 0:
        return None
    return check.stdout.strip() or 'scripts/can-run-32-bit.sh failed'


CANNOT_RUN = reason_the_build_cannot_run()


def pytest_collection_modifyitems(items):
    """Where the build cannot run, every test is skipped, Wine never started."""
    if CANNOT_RUN:
        for item in items:
            item.add_marker(pytest.mark.skip(reason=CANNOT_RUN))


def pytest_terminal_summary(terminalreporter):
    if CANNOT_RUN:
        terminalreporter.write_line('%s: every test skipped: %s' % (BUILD_NAME, CANNOT_RUN))
    else:
        terminalreporter.write_line(WINE_STARTS.summary(BUILD_NAME))
        for reason in WINE_STARTS.reasons:
            terminalreporter.write_line('  ' + reason)


@pytest.fixture(scope='session')
def wine():
    """One booted Wine prefix for the session; the tests run under xvfb-run."""
    if not os.environ.get('DISPLAY'):
        pytest.fail('the Windows tests need a display: run them under xvfb-run')
    prefix = tempfile.mkdtemp(prefix='launcher-wine-')
    instance = Wine(prefix)
    instance.boot()
    instance.keep_running()
    yield instance
    instance.close()
    shutil.rmtree(prefix, ignore_errors=True)


@pytest.fixture(scope='session')
def japanese(tmp_path_factory):
    """The environment of a Wine process with the ANSI code page 932."""
    locales = tmp_path_factory.mktemp('locales')
    built = subprocess.run(['localedef', '-i', 'ja_JP', '-f', 'UTF-8', str(locales / 'ja_JP.UTF-8')],
                           capture_output=True)
    if built.returncode not in (0, 1) or not (locales / 'ja_JP.UTF-8').is_dir():
        pytest.skip('no ja_JP.UTF-8 locale: %s' % built.stderr.decode(errors='replace'))
    return dict(LANG='ja_JP.UTF-8', LC_ALL='ja_JP.UTF-8', LOCPATH=str(locales))
