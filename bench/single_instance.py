#!/usr/bin/env python3
"""How long a start takes that hands its arguments to the running instance
(Single Instance=true), against a normal start of the same executable and
settings, which loads the runtime and runs main.

Run by hand, not a test:  python3 bench/single_instance.py [--runs 20] [--runtime DIR] [--hold SECONDS]

Two copies of the launcher with the same settings lie in two folders: the
first has its instance running (its main waits), so that each of its starts
is a second start; the second has none, so that each start is a normal one
(main returns at once). They are run in turn, after one unmeasured run each,
and the medians compared. With --hold, the instance keeps running that many
seconds afterwards, and the two commands are printed, for timing them with
another tool (the environment line first).

The launcher is $LAUNCHER_LINUX_BUILD/src/launcher (by default the
repository's build/linux), or --launcher PATH; the runtime is the highest
version under /usr/lib/jvm unless --runtime names one.
"""
import argparse
import os
import re
import statistics
import subprocess
import tempfile
import time
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[1]
ARGUMENTS = ['--open', 'report one.txt', 'café']
# main returns at once unless its first argument is "stay"; openAgain takes the hand-overs.
SOURCE = '''
public class Held {
    public static void main(String[] args) throws Exception {
        if (args.length > 0 && args[0].equals("stay"))
            Thread.sleep(Long.MAX_VALUE);
    }

    public static void openAgain(String[] args, String workingDirectory) {
    }
}
'''


def release_version(home):
    release = Path(home) / 'release'
    match = release.is_file() and re.search(r'^JAVA_VERSION="?([^"\n]+)', release.read_text(), re.M)
    return match.group(1) if match else None


def highest_runtime():
    runtimes = []
    for entry in Path('/usr/lib/jvm').iterdir():
        version = release_version(entry)
        if version and (entry / 'bin' / 'javac').exists():
            runtimes.append((tuple(int(n) for n in re.findall(r'\d+', version)[:4]), entry.resolve()))
    if not runtimes:
        raise SystemExit('no runtime with javac under /usr/lib/jvm')
    return max(runtimes)[1]


def prepare(directory, launcher, runtime):
    """Held.class, and the launcher as held/app and normal/app with the same settings."""
    classes = directory / 'classes'
    classes.mkdir()
    (directory / 'Held.java').write_text(SOURCE)
    subprocess.run([str(runtime / 'bin' / 'javac'), '-d', str(classes), str(directory / 'Held.java')], check=True)
    version = release_version(runtime)
    settings = (f'[Class Path]\nClass Path={classes}\n[Java Runtime Environment]\nMain Class=Held\n'
                f'Minimum Version={version}\nMaximum Version={version}\n'
                '[Application]\nSingle Instance=true\nSingle Instance Method=Held.openAgain\n')
    executables = []
    for name in ('held', 'normal'):
        (directory / name).mkdir()
        executable = directory / name / 'app'
        executable.write_bytes(launcher.read_bytes())
        executable.chmod(0o755)
        (directory / name / 'app.ini').write_text(settings)
        executables.append(executable)
    return executables


def timed(command, environment):
    start = time.perf_counter()
    result = subprocess.run(command, capture_output=True, env=environment)
    elapsed = time.perf_counter() - start
    if result.returncode != 0:
        raise SystemExit(f'{command[0]} failed ({result.returncode}): {result.stderr.decode()}')
    return elapsed


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--runs', type=int, default=20)
    parser.add_argument('--runtime', type=Path)
    parser.add_argument('--hold', type=float, default=0)
    build = Path(os.environ.get('LAUNCHER_LINUX_BUILD', REPOSITORY / 'build' / 'linux'))
    parser.add_argument('--launcher', type=Path, default=build / 'src' / 'launcher')
    options = parser.parse_args()
    runtime = (options.runtime or highest_runtime()).resolve()

    with tempfile.TemporaryDirectory(prefix='launcher-bench-') as directory:
        directory = Path(directory)
        channels = directory / 'run'
        channels.mkdir(mode=0o700)
        environment = {'PATH': os.environ.get('PATH', '/usr/bin:/bin'), 'LC_ALL': 'C.UTF-8',
                       'XDG_RUNTIME_DIR': str(channels)}
        held, normal = prepare(directory, options.launcher, runtime)
        instance = subprocess.Popen([str(held), 'stay'], env=environment)
        try:
            while not list(channels.glob('*.socket')):
                if instance.poll() is not None:
                    raise SystemExit(f'the instance ended with {instance.returncode}')
                time.sleep(0.01)
            commands = {'second start': [str(held), *ARGUMENTS], 'normal start': [str(normal), *ARGUMENTS]}
            times = {name: [] for name in commands}
            for command in commands.values():
                timed(command, environment)
            for _ in range(options.runs):
                for name, command in commands.items():
                    times[name].append(timed(command, environment))
            medians = {name: statistics.median(values) * 1000 for name, values in times.items()}
            print(f'runtime {runtime}, {options.runs} runs each, alternated')
            for name, values in times.items():
                print(f'  {name:12}  median {medians[name]:8.2f} ms   '
                      f'min {min(values) * 1000:8.2f} ms   max {max(values) * 1000:8.2f} ms')
            print(f'  ratio second / normal: {medians["second start"] / medians["normal start"]:.4f}')
            if options.hold > 0:
                print(f'XDG_RUNTIME_DIR={channels}')
                for name, command in commands.items():
                    print(f'{name}: ' + ' '.join(f"'{part}'" for part in command))
                time.sleep(options.hold)
        finally:
            instance.kill()
            instance.wait()


if __name__ == '__main__':
    main()
