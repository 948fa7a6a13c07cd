#!/usr/bin/env python3
"""Start-up time of the sample application through the Linux launcher against
`java -cp sample.jar com.example.sample.Main`, on the same runtime.

Run by hand, not a test:  python3 bench/startup.py [--runs 20] [--runtime DIR]

The launcher is $LAUNCHER_LINUX_BUILD/src/launcher (by default the
repository's build/linux), or --launcher PATH. The runtime is the highest
version under /usr/lib/jvm unless --runtime names one; the launcher is held
to it by a version range of exactly its version. The two ways are run in
turn, after one unmeasured run of each, and the medians are compared.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import tempfile
import time
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[1]
SAMPLE = REPOSITORY / 'examples' / 'sample'
MAIN_CLASS = 'com.example.sample.Main'
ARGUMENTS = ['plain', 'two words', 'café']


def release_version(home):
    release = Path(home) / 'release'
    match = release.is_file() and re.search(r'^JAVA_VERSION="?([^"\n]+)', release.read_text(), re.M)
    return match.group(1) if match else None


def highest_runtime():
    runtimes = []
    for entry in Path('/usr/lib/jvm').iterdir():
        version = release_version(entry)
        if version and (entry / 'bin' / 'java').exists():
            runtimes.append((tuple(int(n) for n in re.findall(r'\d+', version)[:4]), entry.resolve()))
    if not runtimes:
        raise SystemExit('no runtime under /usr/lib/jvm')
    return max(runtimes)[1]


def prepare(directory, launcher, runtime):
    """The sample jar and a launcher named 'sample' with its settings in directory."""
    classes = directory / 'classes'
    javac = runtime / 'bin' / 'javac'
    sources = [str(p) for p in SAMPLE.rglob('*.java')]
    subprocess.run([str(javac) if javac.exists() else 'javac', '--release', '11',
                    '-d', str(classes), *sources], check=True)
    jar = directory / 'sample.jar'
    shutil.make_archive(str(jar.with_suffix('')), 'zip', classes)
    jar.with_suffix('.zip').rename(jar)
    shutil.copy2(launcher, directory / 'sample')
    version = release_version(runtime)
    (directory / 'sample.ini').write_text(
        f'[Class Path]\nClass Path={jar}\n[Java Runtime Environment]\n'
        f'Main Class={MAIN_CLASS}\nMinimum Version={version}\nMaximum Version={version}\n')
    return ([str(directory / 'sample'), *ARGUMENTS],
            [str(runtime / 'bin' / 'java'), '-cp', str(jar), MAIN_CLASS, *ARGUMENTS])


def timed(command, environment):
    start = time.perf_counter()
    result = subprocess.run(command, capture_output=True, env=environment)
    elapsed = time.perf_counter() - start
    if result.returncode != 0:
        raise SystemExit(f'{command[0]} failed ({result.returncode}): {result.stderr.decode()}')
    return elapsed, result.stdout.decode()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--runs', type=int, default=20)
    parser.add_argument('--runtime', type=Path)
    build = Path(os.environ.get('LAUNCHER_LINUX_BUILD', REPOSITORY / 'build' / 'linux'))
    parser.add_argument('--launcher', type=Path, default=build / 'src' / 'launcher')
    options = parser.parse_args()
    runtime = (options.runtime or highest_runtime()).resolve()
    environment = {'PATH': os.environ.get('PATH', '/usr/bin:/bin'), 'LC_ALL': 'C.UTF-8'}

    with tempfile.TemporaryDirectory(prefix='launcher-bench-') as directory:
        launcher_command, java_command = prepare(Path(directory), options.launcher, runtime)
        for command in (launcher_command, java_command):
            print(timed(command, environment)[1].splitlines()[0], '-', Path(command[0]).name)
        times = {'launcher': [], 'java': []}
        for _ in range(options.runs):
            times['launcher'].append(timed(launcher_command, environment)[0])
            times['java'].append(timed(java_command, environment)[0])

    medians = {name: statistics.median(values) * 1000 for name, values in times.items()}
    print(f'runtime {runtime}, {options.runs} runs each, alternated')
    for name, values in times.items():
        print(f'  {name:8}  median {medians[name]:7.1f} ms   '
              f'min {min(values) * 1000:7.1f} ms   max {max(values) * 1000:7.1f} ms')
    print(f'  ratio launcher / java: {medians["launcher"] / medians["java"]:.3f}')


if __name__ == '__main__':
    main()
