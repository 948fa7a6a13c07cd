"""What the Linux launcher tests share: the installed runtimes, the launcher
binary's place, settings files and the Args fixture's report.

The launcher binary is taken from $LAUNCHER_LINUX_BUILD/src/launcher (by
default the repository's build/linux).
"""
import os
import re
from dataclasses import dataclass
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get('LAUNCHER_LINUX_BUILD', REPOSITORY / 'build' / 'linux'))
LAUNCHER = BUILD / 'src' / 'launcher'
FIXTURES = Path(__file__).parent / 'fixtures'
RUNTIMES_DIRECTORY = Path('/usr/lib/jvm')


@dataclass(frozen=True)
class Runtime:
    home: Path        # the runtime's real directory
    version: str      # JAVA_VERSION of its release file

    @property
    def numbers(self):
        return tuple(int(n) for n in re.findall(r'\d+', self.version)[:4])

    @property
    def feature(self):
        numbers = self.numbers
        return numbers[1] if numbers[0] == 1 else numbers[0]


def installed_runtimes():
    """Each runtime once (symbolic links to one runtime count once), lowest version first."""
    found = {}
    for entry in sorted(RUNTIMES_DIRECTORY.iterdir()) if RUNTIMES_DIRECTORY.is_dir() else ():
        release = entry / 'release'
        match = release.is_file() and re.search(
            r'^JAVA_VERSION="?([^"\n]+)"?', release.read_text(errors='replace'), re.M)
        if match and (entry / 'lib' / 'server' / 'libjvm.so').exists():
            found.setdefault(entry.resolve(), Runtime(entry.resolve(), match.group(1)))
    return sorted(found.values(), key=lambda runtime: runtime.numbers)


RUNTIMES = installed_runtimes()


def settings_text(class_path, main_class='com.example.fixture.Args', parameters='',
                  minimum='', maximum='', preferred=''):
    return (
        '; written by the Linux launcher tests\n'
        '[Class Path]\n'
        f'Class Path={class_path}\n'
        '[Java Runtime Environment]\n'
        f'Virtual Machine Parameters={parameters}\n'
        f'Main Class={main_class}\n'
        f'Minimum Version={minimum}\n'
        f'Maximum Version={maximum}\n'
        f'Preferred versions={preferred}\n')


def report(result):
    """Key=value lines and the arguments (as strings) printed by the Args fixture."""
    lines = result.stdout.decode(errors='replace').splitlines()
    values = dict(line.split('=', 1) for line in lines if not line.startswith('arg='))
    arguments = [''.join(chr(int(c, 16)) for c in line[4:].split()) for line in lines
                 if line.startswith('arg=')]
    return values, arguments
