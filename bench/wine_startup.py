#!/usr/bin/env python3
"""Start-up time of the Windows launcher under Wine: from the process's
creation to its call of JNI_CreateJavaVM, as the jvm.dll double measures it.

Run by hand, not a test:  xvfb-run -a python3 bench/wine_startup.py [--runs 20]

Uses the build that $LAUNCHER_WINDOWS_BUILD names (win64 by default, or
win32), with a private runtime holding that build's double, and prints the
median and range.
"""
import argparse
import shutil
import statistics
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / 'tests' / 'windows'))
from wine import Wine, events, launch_application  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--runs', type=int, default=20)
    runs = parser.parse_args().runs
    prefix = tempfile.mkdtemp(prefix='launcher-bench-wine-')
    wine = Wine(prefix)
    try:
        wine.boot()
        times = []
        for i in range(runs + 1):
            work = Path(tempfile.mkdtemp(prefix='launcher-bench-'))
            run = launch_application(wine, work, tail=' a "b c"')
            [create] = events(run, 'create')
            if i:   # the first run only warms Wine up
                times.append(create['sinceProcessStart'])
            shutil.rmtree(work, ignore_errors=True)
        print('runs: %d' % runs)
        print('process start to JNI_CreateJavaVM: median %.1f ms (min %.1f, max %.1f)'
              % (statistics.median(times), min(times), max(times)))
    finally:
        wine.close()
        shutil.rmtree(prefix, ignore_errors=True)


if __name__ == '__main__':
    main()
