"""The runtime search of the Windows launcher: private runtimes beside the
executable, registered runtimes in HKLM\\Software\\JavaSoft, the VM library
inside a home. The VM libraries made here are not libraries at all: loading
the chosen one fails with error 193, and the message names its path."""
import os

import pytest

from wine import MINUS_ONE, install_launcher, windows_path

RUNTIMES_KEY = r'HKEY_LOCAL_MACHINE\Software\JavaSoft\Java Runtime Environment'
CLIENT, SERVER = r'bin\client\jvm.dll', r'bin\server\jvm.dll'
CLASSIC, HOTSPOT, JAVA = r'bin\classic\jvm.dll', r'bin\hotspot\jvm.dll', r'bin\java.dll'


def load_failure(library):
    return b'Failed to load Java VM library: %s (errno = 193).\n' % library


def not_found(requirement):
    return (b'Java Runtime Environment (JRE) not found. Please download and install JRE (%s) '
            b'from: \nhttps://adoptium.net/' % requirement)


def no_vm_library(home):
    return b'Java Virtual Machine (JVM) not found in JRE directory %s. Please reinstall JRE.' % home


def make_runtime(home, *files):
    """Creates the given files (relative Windows paths) under home; returns
    home's Windows path with a trailing backslash."""
    for name in files:
        path = os.path.join(home, *name.split('\\'))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'wb') as f:
            f.write(b'not a library')
    return windows_path(home) + '\\'


def settings(minimum=None, maximum=None, preferred=None):
    text = '[Class Path]\nClass Path=app.jar\n[Java Runtime Environment]\nMain Class=a.B\n'
    for key, value in (('Minimum', minimum), ('Maximum', maximum)):
        if value is not None:
            text += '%s Version=%s\n' % (key, value)
    if preferred is not None:
        text += 'Preferred versions=%s\n' % preferred
    return text


def launch(wine, directory, ini, env=None, name='app.exe'):
    """The one message box of a failed launch: (owner, text)."""
    run = wine.run(install_launcher(directory, name=name, ini=ini), env=env)
    assert run.exit_code == MINUS_ONE and len(run.boxes) == 1, run.output
    return run.boxes[0].owner, run.boxes[0].text


def reg_hex(data):
    return ','.join('%02x' % b for b in data)


@pytest.fixture(scope='class')
def registry(request, wine, tmp_path_factory):
    """Registers the class's RUNTIMES, {subkey: (JavaHome, files of the
    home)}, and removes them after the class. A JavaHome is a directory name
    below the class's directory, ending in a backslash or not, or a tuple
    (kind, name) for a value of another type: REG_EXPAND_SZ ('expand'), or
    REG_BINARY without a NUL ('binary') or with a NUL and more bytes after it
    ('junk')."""
    base = tmp_path_factory.mktemp('runtimes')
    homes, entries = {}, []
    for subkey, (home, files) in request.cls.RUNTIMES.items():
        kind, name = home if isinstance(home, tuple) else ('sz', home)
        path = make_runtime(base / name.rstrip('\\'), *files)
        homes[subkey] = path.encode('latin-1')
        value = path if name.endswith('\\') else path[:-1]
        raw = value.encode('latin-1')
        data = {'sz': '"%s"' % value.replace('\\', '\\\\'), 'expand': 'hex(2):' + reg_hex(raw),
                'binary': 'hex:' + reg_hex(raw), 'junk': 'hex:' + reg_hex(raw + b'\0\\x')}[kind]
        entries.append('[%s\\%s]\n"JavaHome"=%s\n' % (RUNTIMES_KEY, subkey, data))
    wine.reg_delete(r'HKLM\Software\JavaSoft')
    wine.reg_import('\n'.join(entries))
    yield homes
    wine.reg_delete(r'HKLM\Software\JavaSoft')


class TestChoiceAmongRegisteredVersions:
    RUNTIMES = {v: ('jre' + v + '\\', [CLIENT]) for v in ('1.4.2_05', '1.5.0_06', '1.6.0_10')}

    @pytest.mark.parametrize('minimum, maximum, preferred, chosen', [
        ('1.5', 'any', None, '1.6.0_10'),
        ('1.5', '1.5', None, '1.5.0_06'),
        (None, '1.4', None, '1.4.2_05'),
        ('1.5', None, '1.5;1.6', '1.5.0_06'),
        (None, None, '1.7;1.6', '1.6.0_10'),
        (None, None, '1.5; 1.6', '1.5.0_06'),
        (None, None, '1.4.2_06', '1.6.0_10'),
        ('Any', '', None, '1.6.0_10'),
    ])
    def test_choice(self, wine, tmp_path, registry, minimum, maximum, preferred, chosen):
        message = launch(wine, tmp_path, settings(minimum, maximum, preferred))
        assert message == ('(none)', load_failure(registry[chosen] + CLIENT.encode()))

    @pytest.mark.parametrize('minimum, maximum, requirement', [
        ('1.7', None, b'minimum 1.7'),
        ('any', '1.3', b'maximum 1.3'),
        ('1.7', '1.8', b'between 1.7 and 1.8'),
        ('1.5', '1.5.0_05', b'between 1.5 and 1.5.0.5'),
        ('1.7.0.1', '1.7.0_01', b'version 1.7.0.1 is required'),
    ])
    def test_nothing_within_the_range(self, wine, tmp_path, registry, minimum, maximum, requirement):
        assert launch(wine, tmp_path, settings(minimum, maximum)) == ('(none)', not_found(requirement))


class TestHomesOfRegisteredVersions:
    # Written out of name order: the registry enumerates 1.5 before 1.5.0.
    RUNTIMES = {
        '1.5.0': ('second\\', [CLIENT]),
        '1.5': ('first\\', [CLIENT]),
        '2.0': ('no-backslash', [CLIENT]),
        '3.0': ('server-only\\', [SERVER]),
        '4.0': ('client-and-server\\', [SERVER, CLIENT]),
        '5.0': ('hotspot-only\\', [HOTSPOT]),
        '5.1': ('classic-and-hotspot\\', [HOTSPOT, CLASSIC]),
        '6.0': ('no-vm-library\\', [JAVA, r'bin\jvm.dll', 'jvm.dll']),
        '7.0': (('expand', 'expand-sz'), [CLIENT]),
        '8.0': (('binary', 'binary'), [CLIENT]),
        '9.0': (('junk', 'junk'), [CLIENT]),
    }

    @pytest.mark.parametrize('maximum, chosen, library', [
        ('1.5', '1.5', CLIENT),
        ('2', '2.0', CLIENT),
        ('3', '3.0', SERVER),
        ('4', '4.0', CLIENT),
        ('5.0', '5.0', HOTSPOT),
        ('5.1', '5.1', CLASSIC),
        ('6', '5.1', CLASSIC),
        ('7', '7.0', CLIENT),
        ('8', '8.0', CLIENT),
        ('9', '9.0', CLIENT),
    ], ids=['equal versions', 'no trailing backslash', 'server only', 'client before server',
            'hotspot', 'classic before hotspot', 'home without vm library skipped',
            'expand string', 'binary without nul', 'binary with bytes after the nul'])
    def test_library_of_the_chosen_home(self, wine, tmp_path, registry, maximum, chosen, library):
        message = launch(wine, tmp_path, settings(maximum=maximum))
        assert message == ('(none)', load_failure(registry[chosen] + library.encode()))


class TestPrivateRuntime:
    RUNTIMES = {'1.6': ('registered\\', [CLIENT])}

    # found: the library loaded, or the home named for holding no VM library.
    @pytest.mark.parametrize('files, minimum, found', [
        ([JAVA, CLIENT, 'jre\\' + JAVA, 'jre\\' + SERVER], None, CLIENT),
        (['jre\\' + JAVA, 'jre\\' + SERVER], None, 'jre\\' + SERVER),
        (['jre\\' + JAVA, 'jre\\' + CLIENT], '9', 'jre\\' + CLIENT),
        ([JAVA, CLIENT], '9', CLIENT),
        (['jre\\' + JAVA, 'jre\\bin\\jvm.dll'], None, 'jre\\'),
        ([JAVA, 'jre\\' + JAVA, 'jre\\' + CLIENT], None, ''),
    ], ids=['executable directory before jre', 'jre', 'jre outside the range',
            'executable directory outside the range', 'jre without vm library',
            'executable directory without vm library'])
    def test_private_runtime_is_used_without_the_registry(self, wine, tmp_path, registry,
                                                         files, minimum, found):
        path = (make_runtime(tmp_path, *files) + found).encode()
        expected = load_failure(path) if found.endswith('.dll') else no_vm_library(path)
        assert launch(wine, tmp_path, settings(minimum, '9.5')) == ('(none)', expected)

    @pytest.mark.parametrize('files', [['jre\\' + CLIENT], ['jre\\bin\\java', 'jre\\' + CLIENT],
                                       [CLIENT, 'jre\\' + SERVER]],
                             ids=['jre without java.dll', 'jre with java', 'no java.dll anywhere'])
    def test_without_java_library_the_registry_is_searched(self, wine, tmp_path, registry, files):
        make_runtime(tmp_path, *files)
        assert launch(wine, tmp_path, settings()) == ('(none)', load_failure(registry['1.6'] + CLIENT.encode()))


def arm64_headers():
    """The DOS and PE headers of a 64-bit ARM DLL: enough to tell that it can never be loaded here."""
    head = bytearray(0x80 + 26)
    head[0:2], head[0x3C] = b'MZ', 0x80
    head[0x80:0x86] = b'PE\0\0\x64\xaa'
    head[0x98:0x9A] = b'\x0b\x02'
    return bytes(head)


@pytest.mark.parametrize('home, library', [('', CLIENT), ('jre\\', SERVER)], ids=['executable directory', 'jre'])
def test_a_private_runtime_for_another_processor_is_named_not_loaded(wine, tmp_path, home, library):
    directory = make_runtime(tmp_path, home + JAVA, home + library) + home
    with open(os.path.join(tmp_path, *(home + library).split('\\')), 'wb') as f:
        f.write(arm64_headers())
    assert launch(wine, tmp_path, settings()) == ('(none)', (
        b'Java Runtime Environment (JRE) in directory %s cannot be used: its VM library is built for another '
        b'processor.' % directory.encode()))


def test_without_registered_runtimes_the_latest_version_is_asked_for(wine, tmp_path):
    wine.reg_delete(r'HKLM\Software\JavaSoft')
    assert launch(wine, tmp_path, settings()) == ('(none)', not_found(b'latest version'))


def test_private_runtime_under_code_page_932(wine, tmp_path, japanese):
    directory = tmp_path / '表dir'
    make_runtime(directory, JAVA, CLIENT)
    message = launch(wine, directory, settings(), env=japanese, name='表.exe')
    library = windows_path(directory / 'bin' / 'client' / 'jvm.dll').encode('cp932')
    assert message == ('(none)', load_failure(library))


@pytest.mark.parametrize('ending', ['\\', ''], ids=['with backslash', 'without backslash'])
def test_registered_home_ending_in_double_byte_character(wine, tmp_path, japanese, ending):
    home = tmp_path / 'jre表'
    make_runtime(home, CLIENT)
    wine.reg_delete(r'HKLM\Software\JavaSoft')
    # reg.exe stores the value in Unicode; the launcher reads it in code page 932.
    wine.reg_add(RUNTIMES_KEY + '\\1.6', 'JavaHome', windows_path(home) + ending, env=japanese)
    try:
        message = launch(wine, tmp_path / 'app', settings(), env=japanese)
    finally:
        wine.reg_delete(r'HKLM\Software\JavaSoft')
    library = windows_path(home / 'bin' / 'client' / 'jvm.dll').encode('cp932')
    assert message == ('(none)', load_failure(library))
