import os
import shutil
import subprocess
import tempfile

import pytest

from wine import BUILD_NAME, ROOT, Wine


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
