"""The runtimes that today's installers register, each the way its vendor
does, and JAVA_HOME: which one the launcher loads (the jvm.dll double says
which file it is), and what its trace says."""
import os
import shutil

import pytest

from wine import (BUILD_NAME, MINUS_ONE, ROOT, JVM_DOUBLE_DIR, install_launcher, jvm_double_env, read_record,
                  windows_path)

# Every key a test here may write, removed before and after each test.
VENDOR_KEYS = [r'Software\JavaSoft', r'Software\Eclipse Adoptium', r'Software\Eclipse Foundation',
               r'Software\AdoptOpenJDK', r'Software\Microsoft\JDK', r'Software\Microsoft\JRE', r'Software\Semeru',
               r'Software\Azul Systems', r'Software\BellSoft', r'Software\SapMachine']
HIVES = {'HKLM': 'HKEY_LOCAL_MACHINE', 'HKCU': 'HKEY_CURRENT_USER'}
ALL_KEYS = ['%s\\%s' % (hive, key) for hive in HIVES for key in VENDOR_KEYS]
OTHER_BUILD = {'win64': 'win32', 'win32': 'win64'}[BUILD_NAME]


def runtime(home, version, jdk8=False, release=True, double=os.path.join(JVM_DOUBLE_DIR, 'jvm_double.dll')):
    """Lays out a runtime as its installer does: a 9+ home with bin\\server\\jvm.dll,
    or (jdk8) a development kit whose runtime is its jre\\; the release file
    names the version. Returns the home's Windows path (no trailing backslash)."""
    runtime_home = os.path.join(home, 'jre') if jdk8 else home
    os.makedirs(os.path.join(runtime_home, 'bin', 'server'), exist_ok=True)
    with open(os.path.join(runtime_home, 'bin', 'java.dll'), 'wb') as f:
        f.write(b'only its presence marks a runtime')
    shutil.copyfile(double, os.path.join(runtime_home, 'bin', 'server', 'jvm.dll'))
    if release:
        with open(os.path.join(home, 'release'), 'w') as f:
            f.write('IMPLEMENTOR="Test"\nJAVA_VERSION="%s"\n' % version)
    return windows_path(home)


def reg_data(value):
    """A .reg file's data: a text as REG_SZ, bytes as REG_BINARY (no NUL added)."""
    if isinstance(value, bytes):
        return 'hex:' + ','.join('%02x' % b for b in value)
    return '"%s"' % value.replace('\\', '\\\\')


@pytest.fixture
def registry(wine):
    """register({(hive, key): {value name: data}}) writes keys in one import."""
    def register(keys):
        wine.reg_delete(*ALL_KEYS)
        wine.reg_import(''.join('[%s\\%s]\n' % (HIVES[hive], key)
                                        + ''.join('"%s"=%s\n' % (name, reg_data(data))
                                                  for name, data in values.items())
                                        for (hive, key), values in keys.items()))
    wine.reg_delete(*ALL_KEYS)
    yield register
    wine.reg_delete(*ALL_KEYS)


def launch(wine, tmp_path, minimum='11', maximum=None, preferred=None, env=None):
    """Runs the application; gives the run, the jvm.dll loaded (lower case
    Windows path, or None) and the trace's lines."""
    settings = ('[Class Path]\nClass Path=app.jar\n[Java Runtime Environment]\nMain Class=com.example.Main\n'
                'Minimum Version=%s\n' % minimum)
    if maximum:
        settings += 'Maximum Version=%s\n' % maximum
    if preferred:
        settings += 'Preferred versions=%s\n' % preferred
    exe = install_launcher(tmp_path / 'app', ini=settings)
    record, trace = tmp_path / 'record.jsonl', tmp_path / 'trace.txt'
    for old in (record, trace):
        if old.exists():
            old.unlink()
    environment = dict(jvm_double_env(record), JAVA_LAUNCHER_TRACE=windows_path(trace), **(env or {}))
    run = wine.run(exe, env=environment)
    created = [e['library'] for e in read_record(record) if e['event'] == 'create']
    lines = trace.read_text(encoding='latin-1').splitlines() if trace.exists() else []
    return run, created[0].lower() if created else None, lines


def library(home):
    return (home + '\\bin\\server\\jvm.dll').lower()


# name, key, value name, layout (False: 9+ home, True: Java 8 JDK with jre\), hive, version
VENDORS = [
    ('Oracle JDK', r'Software\JavaSoft\JDK\17.0.2', 'JavaHome', False, 'HKLM', '17.0.2'),
    ('Oracle JRE', r'Software\JavaSoft\JRE\11.0.6', 'JavaHome', False, 'HKLM', '11.0.6'),
    ('Java 8 JDK', r'Software\JavaSoft\Java Development Kit\1.8.0_392', 'JavaHome', True, 'HKLM', '1.8.0_392'),
    ('Temurin MSI', r'Software\Eclipse Adoptium\JDK\17.0.15.6\hotspot\MSI', 'Path', False, 'HKLM', '17.0.15'),
    ('Temurin per user', r'Software\Eclipse Adoptium\JRE\21.0.2.13\hotspot\EXE', 'Path', False, 'HKCU', '21.0.2'),
    ('Temurin 8 JDK', r'Software\Eclipse Adoptium\JDK\8.0.392.8\hotspot\MSI', 'Path', True, 'HKLM', '1.8.0_392'),
    ('Eclipse Foundation', r'Software\Eclipse Foundation\JDK\11.0.12.7\hotspot\MSI', 'Path', False, 'HKLM',
     '11.0.12'),
    ('AdoptOpenJDK', r'Software\AdoptOpenJDK\JRE\11.0.11.9\openj9\MSI', 'Path', False, 'HKLM', '11.0.11'),
    ('Microsoft', r'Software\Microsoft\JDK\17.0.9.8\hotspot\MSI', 'Path', False, 'HKLM', '17.0.9'),
    ('Semeru', r'Software\Semeru\JDK\17.0.9.9\openj9\MSI', 'Path', False, 'HKCU', '17.0.9'),
    ('Zulu', r'Software\Azul Systems\Zulu\zulu-17', 'InstallationPath', False, 'HKLM', None),
    ('Liberica', r'Software\BellSoft\Liberica\jdk-21', 'InstallationPath', False, 'HKLM', '21.0.1'),
    ('SapMachine', r'Software\SapMachine\JDK\21', 'JavaHome', False, 'HKLM', '21.0.2'),
]


@pytest.mark.parametrize('key, value, jdk8, hive, version', [v[1:] for v in VENDORS], ids=[v[0] for v in VENDORS])
def test_a_runtime_registered_by_one_vendor_alone_starts_the_application(wine, tmp_path, registry, key, value,
                                                                        jdk8, hive, version):
    home = runtime(tmp_path / 'vendor home', version or '', jdk8, release=version is not None)
    # Installers write the home with a trailing backslash, or without.
    registry({(hive, key): {value: home + '\\' if hive == 'HKCU' else home}})
    run, loaded, _ = launch(wine, tmp_path, minimum='1.8' if jdk8 else '11')
    assert run.boxes == [] and run.exit_code == 0
    assert loaded == library(home + '\\jre' if jdk8 else home)


def test_java_home_comes_after_every_registered_runtime(wine, tmp_path, registry):
    user = runtime(tmp_path / 'user', '21')
    registry({})
    run, loaded, _ = launch(wine, tmp_path, env={'JAVA_HOME': user})
    assert (run.exit_code, loaded) == (0, library(user))

    registered = runtime(tmp_path / 'registered', '21')
    registry({('HKLM', r'Software\JavaSoft\JDK\21'): {'JavaHome': registered}})
    run, loaded, _ = launch(wine, tmp_path, env={'JAVA_HOME': user})
    assert (run.exit_code, loaded) == (0, library(registered))


@pytest.fixture
def several(tmp_path, registry):
    """A machine with runtimes of four vendors; their homes by version."""
    homes = {v: runtime(tmp_path / ('jre' + v), v) for v in ('1.8.0_392', '11.0.6', '17.0.2', '21.0.2')}
    registry({
        ('HKLM', r'Software\JavaSoft\Java Runtime Environment\1.8'): {'JavaHome': homes['1.8.0_392']},
        ('HKLM', r'Software\JavaSoft\JDK\17.0.2'): {'JavaHome': homes['17.0.2']},
        ('HKLM', r'Software\Azul Systems\Zulu\zulu-11'): {'InstallationPath': homes['11.0.6']},
        ('HKCU', r'Software\Eclipse Adoptium\JDK\21.0.2.13\hotspot\EXE'): {'Path': homes['21.0.2']},
    })
    return homes


@pytest.mark.parametrize('minimum, maximum, preferred, chosen', [
    ('11', None, None, '21.0.2'),
    ('11', None, '17;21', '17.0.2'),
    ('any', '1.8', None, '1.8.0_392'),
    ('any', '16', '1.8', '1.8.0_392'),
    ('any', '16', '9', '11.0.6'),
], ids=['highest in range', 'preferred across sources', 'the old key alone in range', 'preferred old key',
        'highest below the maximum'])
def test_the_choice_works_over_every_source_together(wine, tmp_path, several, minimum, maximum, preferred, chosen):
    run, loaded, _ = launch(wine, tmp_path, minimum, maximum, preferred)
    assert (run.exit_code, loaded) == (0, library(several[chosen]))


def test_the_old_key_wins_a_tie_and_a_home_counts_once(wine, tmp_path, registry):
    old, vendor = runtime(tmp_path / 'old', '17'), runtime(tmp_path / 'vendor', '17')
    registry({
        ('HKLM', r'Software\JavaSoft\Java Runtime Environment\17'): {'JavaHome': old},
        ('HKLM', r'Software\JavaSoft\JDK\17'): {'JavaHome': vendor},
        ('HKLM', r'Software\Azul Systems\Zulu\zulu-17'): {'InstallationPath': old.upper() + '\\'},
    })
    run, loaded, trace = launch(wine, tmp_path)
    assert (run.exit_code, loaded) == (0, library(old))
    assert trace.count('    left out: the same home as an earlier source\'s') == 1


def test_a_runtime_for_another_processor_or_gone_from_disk_is_passed_over(wine, tmp_path, registry):
    foreign_double = os.path.join(ROOT, 'build', OTHER_BUILD, 'tests', 'windows', 'jvm_double', 'jvm_double.dll')
    if not os.path.exists(foreign_double):
        pytest.skip('the %s build of the jvm.dll double is missing: build it first' % OTHER_BUILD)
    foreign = runtime(tmp_path / 'foreign', '25', double=foreign_double)
    usable = runtime(tmp_path / 'usable', '17')
    registry({
        ('HKLM', r'Software\JavaSoft\JDK\25'): {'JavaHome': foreign},
        ('HKLM', r'Software\JavaSoft\JDK\23'): {'JavaHome': windows_path(tmp_path / 'uninstalled')},
        ('HKLM', r'Software\Eclipse Adoptium\JDK\21.0.1.12\hotspot\MSI'): {'Path': ''},
        ('HKLM', r'Software\Eclipse Adoptium\JDK\22.0.1.8\hotspot\MSI'): {'Path': 'C:\\' + 'x' * 5000},
        # Binary data without a NUL ends at its length: a usable home.
        ('HKLM', r'Software\BellSoft\Liberica\jdk-17'): {'InstallationPath': usable.encode()},
        ('HKLM', r'Software\SapMachine\JDK\17'): {'JavaHome': usable},
    })
    run, loaded, trace = launch(wine, tmp_path)
    assert (run.exit_code, loaded) == (0, library(usable))
    assert '    left out: its VM library is built for another processor' in trace
    assert trace.count('    left out: no VM library under the home') == 3
    assert '    left out: the same home as an earlier source\'s' in trace


def test_the_trace_tells_why_no_runtime_was_found(wine, tmp_path, registry):
    old = runtime(tmp_path / 'old', '1.8.0_392')
    registry({('HKLM', r'Software\JavaSoft\Java Runtime Environment\1.8'): {'JavaHome': old}})
    run, loaded, trace = launch(wine, tmp_path, minimum='11')
    assert (run.exit_code, loaded) == (MINUS_ONE, None)
    old_key = r'HKLM\Software\JavaSoft\Java Runtime Environment'
    expected = [
        '  [Java Runtime Environment] Minimum Version = "11"',
        'runtimes on the system, for the minimum 11:',
        '  source Java Runtime Environment: %s: subkeys: 1' % old_key,
        '  %s\\1.8: home %s' % (old_key, old),
        '    version 1.8, from the subkey name',
        '    left out: out of the range the settings ask for',
        '  source Oracle: HKLM\\Software\\JavaSoft\\JDK: not there',
        '  source Eclipse Adoptium: HKCU\\Software\\Eclipse Adoptium\\JDK: not there',
        '  source JAVA_HOME: not set',
        'choice: none, no runtime found is in range',
        'no runtime found',
        'exit code -1',
    ]
    assert [line for line in expected if line not in trace] == []
    assert any(line.startswith('message: Java Runtime Environment (JRE) not found') for line in trace)
