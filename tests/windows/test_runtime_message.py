"""The message when no runtime is taken, under Wine: the application's text
and address, then each registered runtime passed over and why."""
import struct

import pytest

from wine import BUILD_NAME, MINUS_ONE, install_launcher, windows_path

RUNTIMES_KEY = r'HKEY_LOCAL_MACHINE\Software\JavaSoft\Java Runtime Environment'
# The headers of a jvm.dll built for the other processor than the launcher.
OTHER_MACHINE, OTHER_MAGIC = (0x14C, 0x10B) if BUILD_NAME == 'win64' else (0x8664, 0x20B)


def other_processor_library():
    head = bytearray(0x80 + 26)
    head[0:2], head[0x3C] = b'MZ', 0x80
    head[0x80:0x82] = b'PE'
    struct.pack_into('<H', head, 0x84, OTHER_MACHINE)
    struct.pack_into('<H', head, 0x98, OTHER_MAGIC)
    return bytes(head)


@pytest.fixture
def registered(wine, tmp_path):
    """Three registered runtimes, none of which can serve Java 17: {version: home}."""
    homes = {}
    libraries = {'1.6': b'any file', '17.0': other_processor_library(), '21.0': None}
    for version, library in libraries.items():
        home = tmp_path / ('jre' + version)
        (home / 'bin' / 'client').mkdir(parents=True)
        (home / 'bin' / 'java.dll').write_bytes(b'marks a runtime')
        if library:
            (home / 'bin' / 'client' / 'jvm.dll').write_bytes(library)
        homes[version] = windows_path(home) + '\\'
    wine.reg_delete(r'HKLM\Software\JavaSoft')
    wine.reg_import(''.join('[%s\\%s]\n"JavaHome"="%s"\n' % (RUNTIMES_KEY, version, home.replace('\\', '\\\\'))
                            for version, home in homes.items()))
    yield homes
    wine.reg_delete(r'HKLM\Software\JavaSoft')


def test_the_applications_text_and_address_and_the_runtimes_passed_over(wine, tmp_path, registered):
    settings = ('[Class Path]\nClass Path=app.jar\n[Java Runtime Environment]\nMain Class=a.B\nMinimum Version=17\n'
                '[Application]\nRuntime Missing Message=My App needs Java %1 (64-bit).\n'
                'Runtime Download Address=https://example.com/java\n')
    run = wine.run(install_launcher(tmp_path / 'app', ini=settings))
    assert run.exit_code == MINUS_ONE
    assert [b.text for b in run.boxes] == [
        b'My App needs Java minimum 17 (64-bit).\nhttps://example.com/java\n\nFound, but not taken:'
        b'\nJava 1.6 in %s: out of the range the settings ask for'
        b'\nJava 17 in %s: its VM library is built for another processor'
        b'\nJava 21 in %s: no VM library under the home'
        % (registered['1.6'].encode(), registered['17.0'].encode(), registered['21.0'].encode())]
