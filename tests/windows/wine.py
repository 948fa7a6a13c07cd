"""Runs one Windows build under Wine for the end-to-end tests.

LAUNCHER_WINDOWS_BUILD names the build: win64 (the default) or win32. The
launcher, rig.exe, profile_dump.exe and the jvm.dll doubles all come from
build/NAME, so that the launcher and the VM library it loads have the same
bitness, and the registry data of a test goes to the view that build reads.

One Wine prefix serves a whole test session. Programs are started through
rig.exe, which gives each its exact command line, answers its message boxes
and reports them with the exact exit code. A command whose program Wine could
not start runs again (see wine_starts.py).
"""
import json
import os
import re
import shutil
import subprocess
import tempfile
from dataclasses import dataclass, field

from wine_starts import StartRetries, rig_start_failure, script_start_failure, wine_start_failure

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
BUILD_NAME = os.environ.get('LAUNCHER_WINDOWS_BUILD', 'win64')
# reg.exe's switch for the registry view a build's programs read: a 32-bit
# program on 64-bit Windows sees HKLM\Software through Wow6432Node.
REGISTRY_VIEWS = {'win64': '/reg:64', 'win32': '/reg:32'}
if BUILD_NAME not in REGISTRY_VIEWS:
    raise ValueError('LAUNCHER_WINDOWS_BUILD must be win64 or win32, not %r' % BUILD_NAME)
REGISTRY_VIEW = REGISTRY_VIEWS[BUILD_NAME]
BUILD = os.path.join(ROOT, 'build', BUILD_NAME)
LAUNCHER_EXE = os.path.join(BUILD, 'src', 'launcher.exe')
CONSOLE_LAUNCHER_EXE = os.path.join(BUILD, 'src', 'launcherc.exe')
TEST_PROGRAMS = os.path.join(BUILD, 'tests', 'windows')
RIG_EXE = os.path.join(TEST_PROGRAMS, 'rig.exe')
JVM_DOUBLE_DIR = os.path.join(TEST_PROGRAMS, 'jvm_double')


def windows_path(unix_path):
    """The path of a Unix file as Wine's Z: drive shows it."""
    return 'Z:' + os.path.abspath(unix_path).replace('/', '\\')


def unescape(text):
    """Undoes rig.exe's \\xNN escapes, giving the box's bytes."""
    return re.sub(rb'\\x([0-9A-F]{2})', lambda m: bytes([int(m.group(1), 16)]),
                  text.encode('ascii'))


@dataclass
class MessageBox:
    owner: str          # the owner window's class name, or '(none)'
    caption: bytes
    text: bytes


@dataclass
class Run:
    boxes: list = field(default_factory=list)
    exit_code: int = None   # exact 32-bit exit code; None on a timeout
    output: str = ''
    errors: bytes = b''     # what reached Wine's standard error, the program's among it

    @property
    def texts(self):
        return [box.text for box in self.boxes]


# One count for the session, which its summary line tells.
WINE_STARTS = StartRetries()

AE_DEBUG = r'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'


class Wine:
    def __init__(self, prefix):
        self.prefix = prefix
        self.env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG='-all',
                        WINEDLLOVERRIDES='mscoree,mshtml=')
        # Wine hands the Unix environment on: the launcher reads these.
        for name in ('JAVA_HOME', 'JAVA_LAUNCHER_TRACE', 'JDK_JAVA_OPTIONS'):
            self.env.pop(name, None)

    def command(self, args, env=None, timeout=120, check=True, start_failure=wine_start_failure):
        """Runs `wine ARGS`, again while start_failure says that Wine could not start the program."""
        completed = WINE_STARTS.run(
            lambda: subprocess.run(['wine'] + args, env=dict(self.env, **(env or {})),
                                   capture_output=True, timeout=timeout),
            start_failure, os.path.basename(args[0]))
        if check:
            completed.check_returncode()
        return completed

    def boot(self):
        self.command(['wineboot', '-i'], timeout=300)
        # HKCU\Software is one key in both views.
        self.reg_add(r'HKCU\Software\Wine\X11 Driver', 'Managed', 'N', view='/reg:64')
        # A crash ends the process with its exception code instead of waiting
        # in the debugger dialog. The crashing process reads its own view.
        for view in REGISTRY_VIEWS.values():
            self.reg_add(AE_DEBUG, 'Debugger', 'no-such-debugger.exe', view=view)
            self.reg_add(AE_DEBUG, 'Auto', '1', view=view)

    # The registry methods write the view of the build under test unless told
    # another ('/reg:64' or '/reg:32'): with Wine's 32-bit half installed,
    # plain reg.exe and regedit may write the other one.
    def reg_add(self, key, name, data, kind='REG_SZ', view=REGISTRY_VIEW, env=None):
        self.command(['reg', 'add', key, '/v', name, '/t', kind, '/d', data, '/f', view], env=env)

    def reg_delete(self, *keys, view=REGISTRY_VIEW):
        """Deletes each key with its subkeys, then checks that none is left.
        Only 'reg delete' is trusted for this: under a WoW64 Wine a .reg
        file's [-KEY] lines, imported with /reg:64, delete nothing."""
        lines = ['@echo off']
        # After each program, its errorlevel: 9009 when cmd could not start it.
        for key in keys:
            lines += ['reg delete "%s" /f %s >nul 2>&1' % (key, view),
                      'echo errorlevel %%errorlevel%% deleting %s' % key]
        for key in keys:
            lines += ['reg query "%s" %s >nul 2>&1' % (key, view),
                      'echo errorlevel %%errorlevel%% querying %s' % key]
        lines.append('echo checked')
        with tempfile.NamedTemporaryFile('w', suffix='.cmd', delete=False, encoding='latin-1') as f:
            f.write('\r\n'.join(lines) + '\r\n')
            name = f.name
        try:
            # Deleting again what is gone is harmless: the whole script runs
            # again when one of its programs did not start.
            completed = self.command(['cmd', '/c', windows_path(name)], check=False,
                                     start_failure=script_start_failure)
        finally:
            os.unlink(name)
        output = completed.stdout.decode('latin-1').splitlines()
        found = 'errorlevel 0 querying '
        left = [line[len(found):] for line in output if line.startswith(found)]
        if left or 'checked' not in output:
            raise AssertionError('registry keys not deleted (%s): %s' % (view, ', '.join(left) or completed))

    def reg_import(self, text, view=REGISTRY_VIEW):
        """Imports a .reg file's text (REGEDIT4 syntax) in one go."""
        with tempfile.NamedTemporaryFile('w', suffix='.reg', delete=False,
                                         encoding='latin-1') as f:
            f.write('REGEDIT4\r\n\r\n' + text.replace('\n', '\r\n'))
            name = f.name
        try:
            # Runs again only when reg.exe never ran; an import that ran twice
            # would only set the same values again.
            self.command(['reg', 'import', windows_path(name), view])
        finally:
            os.unlink(name)

    def run(self, program, command_line=None, cwd=None, env=None, timeout_ms=20000, wide=False,
            no_std=False):
        """Starts program (a Unix path) with the exact command line given
        (by default its quoted Windows path alone) and returns what happened.
        wide: the names and the command line reach the program in UTF-16,
        not through the ANSI code page. no_std: the program has no standard
        handles, as when Explorer starts it."""
        if command_line is None:
            command_line = '"%s"' % windows_path(program)
        args = [RIG_EXE, '--timeout', str(timeout_ms)]
        if cwd:
            args += ['--cwd', windows_path(cwd)]
        if wide:
            args += ['--wide', '1']
        if no_std:
            args += ['--no-std', '1']
        args += [windows_path(program), command_line]
        completed = self.command(args, env=env, timeout=timeout_ms / 1000 + 60, check=False,
                                 start_failure=rig_start_failure)
        run = Run(output=completed.stdout.decode('latin-1'), errors=completed.stderr)
        for line in run.output.splitlines():
            parts = line.split('\t')
            if parts[0] == 'box' and len(parts) == 4:
                run.boxes.append(MessageBox(parts[1], unescape(parts[2]), unescape(parts[3])))
            elif parts[0] == 'exit':
                run.exit_code = int(parts[1], 16)
        return run

    def close(self):
        subprocess.run(['wineserver', '-k'], env=self.env, capture_output=True)

    def keep_running(self):
        """Keeps the Wine server and the prefix's own processes (services,
        desktop) running from here to close(). Otherwise each command starts
        them anew, and as they inherit its output pipes it waits for them to
        end: about 2.5 s a command instead of 0.2 s. Calling again is free."""
        if getattr(self, 'kept_running', False):
            return
        quiet = dict(env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL, timeout=120)
        # A server that is still there would ignore -p: let it end first.
        subprocess.run(['wineserver', '-w'], **quiet)
        subprocess.run(['wineserver', '-p'], **quiet)
        # Not one of the commands run again: the prefix's processes start with
        # any program's process, start.exe's when Wine could not start cmd.
        subprocess.run(['wine', 'cmd', '/c', 'exit'], **quiet)
        self.kept_running = True


def install_launcher(directory, name='app.exe', ini=None, ini_name=None, launcher=LAUNCHER_EXE):
    """Copies the launcher (launcher.exe unless told another) into directory
    under name, with an optional settings file (text or bytes) beside it;
    returns the executable's path."""
    os.makedirs(directory, exist_ok=True)
    exe = os.path.join(directory, name)
    shutil.copyfile(launcher, exe)
    if ini is not None:
        if ini_name is None:
            base = name[:name.rindex('.')] if '.' in name else name
            ini_name = base + '.ini'
        data = ini.encode('latin-1') if isinstance(ini, str) else ini
        with open(os.path.join(directory, ini_name), 'wb') as f:
            f.write(data)
    return exe


def install_runtime(home, vm_library='jvm_double.dll', bin_files=()):
    """Makes home a runtime the launcher accepts: bin\\java.dll (any file) and
    the VM library as bin\\client\\jvm.dll. vm_library is the name of a
    build of the jvm.dll double, or the library's bytes; bin_files are
    further builds copied into bin\\. Returns the jvm.dll's path."""
    client = os.path.join(home, 'bin', 'client')
    os.makedirs(client, exist_ok=True)
    with open(os.path.join(home, 'bin', 'java.dll'), 'wb') as f:
        f.write(b'only its presence marks a runtime')
    library = os.path.join(client, 'jvm.dll')
    if isinstance(vm_library, bytes):
        with open(library, 'wb') as f:
            f.write(vm_library)
    else:
        shutil.copyfile(os.path.join(JVM_DOUBLE_DIR, vm_library), library)
    for name in bin_files:
        shutil.copyfile(os.path.join(JVM_DOUBLE_DIR, name), os.path.join(home, 'bin', name))
    return library


def jvm_double_env(record, **settings):
    """The environment that drives the jvm.dll double: it records to the
    file record, and each setting NAME=value becomes JVMDOUBLE_NAME (see
    jvm_double/README.md for the names and the record's format)."""
    env = {'JVMDOUBLE_RECORD': windows_path(record)}
    env.update(('JVMDOUBLE_' + name.upper(), str(value)) for name, value in settings.items())
    return env


def read_record(record):
    """The events the double recorded, in order (an empty list without any)."""
    if not os.path.exists(record):
        return []
    with open(record, encoding='ascii') as f:
        return [json.loads(line) for line in f]


SETTINGS = ('[Class Path]\nClass Path=%s\n[Java Runtime Environment]\n'
            'Main Class=%s\nVirtual Machine Parameters=%s\n')


def launch_application(wine, tmp_path, tail='', class_path='app.jar', main_class='com.example.Main',
                       parameters='', home='jre', vm_library='jvm_double.dll', bin_files=(),
                       extra_settings='', cwd=None, env=None, launcher=LAUNCHER_EXE, no_std=False, **double):
    """Runs app.exe with a private runtime in home (relative to the
    executable's directory) and the command line's tail after the quoted
    program path; double holds the settings of the jvm.dll double, env any
    further environment. The run carries the double's events and the
    jvm.dll's Windows path."""
    app = tmp_path / 'app'
    exe = install_launcher(app, ini=SETTINGS % (class_path, main_class, parameters) + extra_settings,
                           launcher=launcher)
    library = install_runtime(app / home, vm_library, bin_files)
    record = tmp_path / 'record.jsonl'
    run = wine.run(exe, '"%s"%s' % (windows_path(exe), tail), cwd=cwd,
                   env=dict(jvm_double_env(record, **double), **(env or {})), no_std=no_std)
    run.events = read_record(record)
    run.library = windows_path(library).encode('latin-1')
    # In every case: JNI used by its rules, and no other JNI function called.
    assert [e for e in run.events if e['event'] in ('misuse', 'trap')] == []
    return run


def events(run, *kinds):
    return [e for e in run.events if e['event'] in kinds]


MINUS_ONE = 0xFFFFFFFF
