#!/usr/bin/env python3
"""How the Linux launcher's time to read its settings grows with the size of
one value: a class path of 1 to 100 MB, in a settings file whose version
range admits no runtime, so that each launch reads every setting and ends at
the not-found message. Read once per launch, the time grows with the size;
read again for every larger buffer, it grew with the square of it.

Run by hand, not a test:  python3 bench/large_value.py [--runs 5] [--baseline LAUNCHER]

The launcher is $LAUNCHER_LINUX_BUILD/src/launcher (by default the
repository's build/linux), or --launcher PATH; --baseline times a second
launcher (an older build, say) on the same files, in turn with the first.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import tempfile
import time
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[1]
SIZES_MB = (1, 10, 30, 100)


def settings(size):
    return b'[Class Path]\nClass Path=' + b'x' * size + b'\n[Java Runtime Environment]\n' \
        b'Main Class=a.B\nMinimum Version=99\n'


def time_launch(binary):
    started = time.perf_counter()
    result = subprocess.run([str(binary)], capture_output=True)
    elapsed = time.perf_counter() - started
    if not result.stderr.startswith(b'Java Runtime Environment (JRE) not found'):
        raise SystemExit('unexpected result: %r' % result.stderr[:200])
    return elapsed


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    build = Path(os.environ.get('LAUNCHER_LINUX_BUILD', REPOSITORY / 'build' / 'linux'))
    parser.add_argument('--launcher', default=str(build / 'src' / 'launcher'))
    parser.add_argument('--baseline')
    parser.add_argument('--runs', type=int, default=5)
    options = parser.parse_args()

    launchers = {'launcher': options.launcher}
    if options.baseline:
        launchers['baseline'] = options.baseline
    with tempfile.TemporaryDirectory() as directory:
        binaries = {}
        for name, source in launchers.items():
            binaries[name] = Path(directory) / name
            shutil.copy2(source, binaries[name])
        print('%8s  %s' % ('value', '  '.join('%18s' % name for name in binaries)))
        for size in SIZES_MB:
            for binary in binaries.values():
                binary.with_suffix('.ini').write_bytes(settings(size << 20))
            times = {name: [] for name in binaries}
            for _ in range(options.runs):
                for name, binary in binaries.items():
                    times[name].append(time_launch(binary))
            print('%6d MB  %s' % (size, '  '.join('%15.3f s' % statistics.median(times[name])
                                                 for name in binaries)), flush=True)


if __name__ == '__main__':
    main()
