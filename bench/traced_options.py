#!/usr/bin/env python3
"""How long a traced launch of the Linux launcher takes with a great many VM
options: Virtual Machine Parameters names an argument file of 1,000,000
`-Dx=1` lines, JAVA_LAUNCHER_TRACE names a file, and the main class returns
at once. The trace has a line for each option; opened once for the launch,
it costs little more than the options themselves; opened for each line, it
took several times as long.

Run by hand, not a test:  python3 bench/traced_options.py [--runs 5] [--options N] [--baseline LAUNCHER]

The launcher is $LAUNCHER_LINUX_BUILD/src/launcher (by default the
repository's build/linux), or --launcher PATH; --baseline times a second
launcher (an older build, say) on the same files, in turn with the first.
The runtime is the lowest version under /usr/lib/jvm with a javac.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPOSITORY / 'tests' / 'linux'))
from linux_rig import RUNTIMES, settings_text  # noqa: E402

MAIN = 'public class Returns { public static void main(String[] a) {} }\n'


def time_launch(binary, trace):
    trace.unlink(missing_ok=True)
    environment = dict(os.environ, JAVA_LAUNCHER_TRACE=str(trace))
    started = time.perf_counter()
    result = subprocess.run([str(binary)], capture_output=True, env=environment)
    elapsed = time.perf_counter() - started
    if result.returncode != 0:
        raise SystemExit('unexpected result %d: %r' % (result.returncode, result.stderr[:200]))
    return elapsed


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    build = Path(os.environ.get('LAUNCHER_LINUX_BUILD', REPOSITORY / 'build' / 'linux'))
    parser.add_argument('--launcher', default=str(build / 'src' / 'launcher'))
    parser.add_argument('--baseline')
    parser.add_argument('--runs', type=int, default=5)
    parser.add_argument('--options', type=int, default=1000000)
    options = parser.parse_args()
    runtime = next((r for r in RUNTIMES if (r.home / 'bin' / 'javac').exists()), None)
    if not runtime:
        raise SystemExit('no JDK with javac under /usr/lib/jvm')

    launchers = {'launcher': options.launcher}
    if options.baseline:
        launchers['baseline'] = options.baseline
    with tempfile.TemporaryDirectory() as directory:
        directory = Path(directory)
        (directory / 'Returns.java').write_text(MAIN)
        subprocess.run([str(runtime.home / 'bin' / 'javac'), '-d', str(directory), str(directory / 'Returns.java')],
                       check=True)
        (directory / 'options.txt').write_text('-Dx=1\n' * options.options)
        settings = settings_text(directory, 'Returns', '@%s' % (directory / 'options.txt'),
                                 minimum=runtime.version, maximum=runtime.version)
        binaries = {}
        for name, source in launchers.items():
            binaries[name] = directory / name
            shutil.copy2(source, binaries[name])
            binaries[name].with_suffix('.ini').write_text(settings)
        times = {name: [] for name in binaries}
        for _ in range(options.runs):
            for name, binary in binaries.items():
                times[name].append(time_launch(binary, directory / 'trace.txt'))
        print('%d options, %s, median of %d runs:' % (options.options, runtime.home.name, options.runs))
        for name in binaries:
            print('  %-10s %8.2f s' % (name, statistics.median(times[name])))


if __name__ == '__main__':
    main()
