#!/usr/bin/env python3
"""Start-up time with the startup cache, on every runtime under /usr/lib/jvm:
the Rhino JavaScript shell (Debian package rhino) running a one-line script,
and a hello-world class, each started

  cache    through the launcher with "Startup Cache=true" (the archive made
           by an unmeasured first run),
  plain    through the launcher without the key,
  java     with `java -cp` on the same runtime,

in turn, run after run, after one unmeasured run of each. Prints the medians,
the ratios to `java -cp`, and whether every way printed the same. On runtimes
with the ahead-of-time cache (Java 25 and later) it also times `java` with an
AOT cache against `java` with the same dynamic archive the launcher makes,
which is how the launcher's choice of archive was made.

Run by hand, not a test:  python3 bench/startup_cache.py [--runs 15]

Needs the Linux launcher ($LAUNCHER_LINUX_BUILD/src/launcher, by default
build/linux) and `apt-get install rhino`.
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
RHINO_CLASS_PATH = '/usr/share/java/js.jar:/usr/share/java/jline.jar'
RHINO_MAIN = 'org.mozilla.javascript.tools.shell.Main'
HELLO = 'public class Hello { public static void main(String[] a) { System.out.println("hello, world"); } }\n'


def runtimes():
    found = {}
    for entry in sorted(Path('/usr/lib/jvm').iterdir()):
        release = entry / 'release'
        match = release.is_file() and re.search(r'^JAVA_VERSION="?([^"\n]+)', release.read_text(), re.M)
        if match and (entry / 'bin' / 'java').exists():
            found.setdefault(entry.resolve(), match.group(1))
    return sorted(found.items(), key=lambda item: [int(n) for n in re.findall(r'\d+', item[1])[:3]])


def settings(class_path, main, version, cache):
    return ('[Class Path]\nClass Path=%s\n[Java Runtime Environment]\nMain Class=%s\n'
            'Minimum Version=%s\nMaximum Version=%s\n%s'
            % (class_path, main, version, version, 'Startup Cache=true\n' if cache else ''))


def install(directory, name, launcher, text):
    directory.mkdir(parents=True, exist_ok=True)
    shutil.copy2(launcher, directory / name)
    (directory / (name + '.ini')).write_text(text)
    return str(directory / name)


def timed(command, env):
    started = time.perf_counter()
    result = subprocess.run(command, capture_output=True, env=env)
    return time.perf_counter() - started, result.stdout


def measure(commands, env, runs):
    """{name: (median seconds, outputs)} of commands run in turn."""
    times = {name: [] for name in commands}
    outputs = {name: set() for name in commands}
    for name, command in commands.items():
        outputs[name].add(timed(command, env)[1])
    for _ in range(runs):
        for name, command in commands.items():
            elapsed, output = timed(command, env)
            times[name].append(elapsed)
            outputs[name].add(output)
    return {name: (statistics.median(times[name]), outputs[name]) for name in commands}


def hello_jar(home, directory):
    javac = home / 'bin' / 'javac'
    if not javac.exists():
        return None
    (directory / 'Hello.java').write_text(HELLO)
    subprocess.run([str(javac), '-d', str(directory), str(directory / 'Hello.java')], check=True)
    subprocess.run([str(home / 'bin' / 'jar'), '--create', '--file', str(directory / 'hello.jar'), '-C',
                    str(directory), 'Hello.class'], check=True)
    return directory / 'hello.jar'


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    build = Path(os.environ.get('LAUNCHER_LINUX_BUILD', REPOSITORY / 'build' / 'linux'))
    parser.add_argument('--launcher', default=str(build / 'src' / 'launcher'))
    parser.add_argument('--runs', type=int, default=15)
    options = parser.parse_args()
    if not Path('/usr/share/java/js.jar').exists():
        raise SystemExit('the Rhino shell is missing: apt-get install rhino')

    print('%-28s %-6s %9s %9s %9s %12s %12s  %s' % ('runtime', 'app', 'cache', 'plain', 'java', 'cache/java',
                                                 'plain/java', 'same output'))
    for home, version in runtimes():
        with tempfile.TemporaryDirectory() as scratch:
            scratch = Path(scratch)
            env = dict(os.environ, XDG_CACHE_HOME=str(scratch / 'cache'), LC_ALL='C.UTF-8')
            env.pop('JAVA_HOME', None)
            script = scratch / 'one.js'
            script.write_text('print("six times seven is " + 6 * 7)\n')
            apps = {'rhino': (RHINO_CLASS_PATH, RHINO_MAIN, [str(script)])}
            jar = hello_jar(home, scratch)
            if jar:
                apps['hello'] = (str(jar), 'Hello', [])
            for app, (class_path, main_class, arguments) in apps.items():
                commands = {
                    'cache': [install(scratch / (app + '-cache'), app, options.launcher,
                                      settings(class_path, main_class, version, True))] + arguments,
                    'plain': [install(scratch / (app + '-plain'), app, options.launcher,
                                      settings(class_path, main_class, version, False))] + arguments,
                    'java': [str(home / 'bin' / 'java'), '-cp', class_path, main_class] + arguments,
                }
                subprocess.run(commands['cache'], capture_output=True, env=env)  # makes the archive
                result = measure(commands, env, options.runs)
                outputs = set().union(*(output for _, output in result.values()))
                print('%-28s %-6s %8.3fs %8.3fs %8.3fs %12.2f %12.2f  %s' % (
                    home.name, app, result['cache'][0], result['plain'][0], result['java'][0],
                    result['cache'][0] / result['java'][0], result['plain'][0] / result['java'][0],
                    'yes' if len(outputs) == 1 else 'NO'), flush=True)
                feature = int(re.findall(r'\d+', version)[0])
                if feature >= 25:
                    [archive] = (scratch / 'cache' / app).glob('*.jsa')
                    compare_aot(home, class_path, main_class, arguments, archive, scratch / app, env, options.runs)


def compare_aot(home, class_path, main_class, arguments, archive, scratch, env, runs):
    """java with an AOT cache made by a first run against java with the
    dynamic archive the launcher made."""
    scratch.mkdir(parents=True, exist_ok=True)
    java = [str(home / 'bin' / 'java')]
    program = ['-cp', class_path, main_class] + arguments
    aot = scratch / 'app.aot'
    subprocess.run(java + ['-XX:AOTCacheOutput=%s' % aot] + program, capture_output=True, env=env)
    result = measure({'dynamic': java + ['-XX:SharedArchiveFile=%s' % archive] + program,
                      'aot': java + ['-XX:AOTCache=%s' % aot] + program}, env, runs)
    print('%-28s %-6s   java with a dynamic archive %.3fs, with an AOT cache %.3fs (AOT/dynamic %.2f)'
          % ('', '', result['dynamic'][0], result['aot'][0], result['aot'][0] / result['dynamic'][0]))


if __name__ == '__main__':
    main()
