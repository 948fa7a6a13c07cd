import os
import shutil
import tempfile

import pytest

from wine import Wine


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
