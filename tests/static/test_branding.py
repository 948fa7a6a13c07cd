"""Static checks of executables the branding tool makes, in both bitnesses:
the console launcher the build makes, the launcher branded with its own icon
under its own name, and launchers branded with every option. Each must be a
consistent PE that differs from the launcher only where it should."""
import os
import re
import subprocess
import sys

import pefile
import pytest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tests'))
from brand_inputs import mixed_ico, png_image  # noqa: E402

BRAND = os.path.join(ROOT, 'dist', 'linux-x86_64', 'brand')
ARCHITECTURES = {'win32': 'X86', 'win64': 'amd64'}
RT_ICON, RT_GROUP_ICON, RT_MANIFEST = 3, 14, 24
SUBSYSTEM_GUI, SUBSYSTEM_CONSOLE = 2, 3


def built(build, name='launcher.exe'):
    path = os.path.join(ROOT, 'dist', build, name)
    if not os.path.exists(path):
        pytest.fail('%s is missing: build first' % path)
    return path


def brand(*arguments):
    done = subprocess.run([BRAND] + [str(a) for a in arguments], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    assert done.stdout == '' and done.stderr == ''


def read(path):
    with open(path, 'rb') as f:
        return f.read()


def align(value, alignment):
    return (value + alignment - 1) // alignment * alignment


def section(pe, name):
    return next(s for s in pe.sections if s.Name.rstrip(b'\0') == name)


def resources(pe, type_id):
    """[(name, language, bytes)] of one resource type, in directory order."""
    found = []
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id == type_id:
            for entry in kind.directory.entries:
                for language in entry.directory.entries:
                    data = language.data.struct
                    found.append((entry.id, language.id, pe.get_data(data.OffsetToData, data.Size)))
    return found


def changed_offsets(before, after):
    return [i for i, (a, b) in enumerate(zip(before, after)) if a != b]


def assert_consistent(pe, size):
    """Checksum, section table, image size and directories agree with each other."""
    header = pe.OPTIONAL_HEADER
    assert header.CheckSum == pe.generate_checksum()
    file_alignment, section_alignment = header.FileAlignment, header.SectionAlignment
    raw_end = header.SizeOfHeaders
    for current, following in zip(pe.sections, pe.sections[1:] + [None]):
        assert current.VirtualAddress % section_alignment == 0
        assert current.SizeOfRawData % file_alignment == 0
        if current.SizeOfRawData:
            assert current.PointerToRawData == raw_end, current.Name
            raw_end += current.SizeOfRawData
        end = align(current.VirtualAddress + current.Misc_VirtualSize, section_alignment)
        assert (following.VirtualAddress if following else header.SizeOfImage) == end, current.Name
    assert raw_end == size
    rsrc, reloc = section(pe, b'.rsrc'), section(pe, b'.reloc')
    assert pe.sections[-2:] == [rsrc, reloc]
    directories = header.DATA_DIRECTORY
    assert (directories[2].VirtualAddress, directories[2].Size) == (rsrc.VirtualAddress, rsrc.Misc_VirtualSize)
    assert directories[5].VirtualAddress == reloc.VirtualAddress
    assert directories[5].Size <= reloc.Misc_VirtualSize


def relocations(pe):
    return [(block.struct.VirtualAddress, [(e.rva, e.type) for e in block.entries])
            for block in pe.DIRECTORY_ENTRY_BASERELOC]


@pytest.mark.parametrize('build', sorted(ARCHITECTURES))
def test_the_console_launcher_differs_only_in_subsystem_and_checksum(build):
    gui, console = read(built(build)), read(built(build, 'launcherc.exe'))
    pe = pefile.PE(data=console)
    header = pe.OPTIONAL_HEADER
    checksum = header.get_field_absolute_offset('CheckSum')
    subsystem = header.get_field_absolute_offset('Subsystem')
    assert len(gui) == len(console)
    assert set(changed_offsets(gui, console)) <= set(range(checksum, checksum + 4)) | {subsystem, subsystem + 1}
    assert header.Subsystem == SUBSYSTEM_CONSOLE
    assert pefile.PE(data=gui).OPTIONAL_HEADER.Subsystem == SUBSYSTEM_GUI
    assert_consistent(pe, len(console))


@pytest.mark.parametrize('build', sorted(ARCHITECTURES))
def test_the_launcher_branded_with_its_own_icon_and_name_is_the_launcher(build, tmp_path):
    # Every byte the tool writes anew (the resource tree, the version record,
    # the section table, the checksum) comes out as the linker wrote it.
    out = tmp_path / 'launcher.exe'
    brand('--in', built(build), '--out', out, '--icon', os.path.join(ROOT, 'build', build, 'resources', 'launcher.ico'))
    assert read(out) == read(built(build))


PNG_SIZES = (16, 32, 48, 256)
EVERY_OPTION = ['--file-version', '1.2.3.4', '--product-version', '5.6.0.65535', '--description', 'My Äpp',
                '--product-name', 'MyApp Suite', '--company', 'Example Ltd', '--copyright', '© 2024 Example Ltd',
                '--execution-level', 'requireAdministrator', '--dpi-aware', 'per-monitor-v2', '--console', '--utf8']


def icon_sources(kind, tmp_path):
    """The --icon options, and the images they give: (width, height, bits, bytes)."""
    if kind == 'ico':
        (tmp_path / 'app.ico').write_bytes(mixed_ico())
        return ['--icon', tmp_path / 'app.ico'], ico_images(mixed_ico())
    options, images = [], []
    for size in PNG_SIZES:
        (tmp_path / ('%d.png' % size)).write_bytes(png_image(size))
        options += ['--icon', tmp_path / ('%d.png' % size)]
        images.append((size % 256, size % 256, 32, png_image(size)))
    return options, images


def ico_images(ico):
    count = int.from_bytes(ico[4:6], 'little')
    images = []
    for i in range(count):
        width, height, _, _, _, bits, length, offset = pefile.struct.unpack_from('<BBBBHHII', ico, 6 + 16 * i)
        images.append((width, height, bits, ico[offset:offset + length]))
    return images


@pytest.mark.parametrize('kind', ['ico', 'png'])
@pytest.mark.parametrize('build', sorted(ARCHITECTURES))
def test_a_launcher_branded_with_every_option(build, kind, tmp_path):
    options, images = icon_sources(kind, tmp_path)
    out = tmp_path / 'MyApp.exe'
    brand('--in', built(build), '--out', out, *options, *EVERY_OPTION)
    original_bytes, branded_bytes = read(built(build)), read(out)
    original, pe = pefile.PE(data=original_bytes), pefile.PE(data=branded_bytes)
    assert_consistent(pe, len(branded_bytes))
    header = pe.OPTIONAL_HEADER
    assert header.Subsystem == SUBSYSTEM_CONSOLE
    assert header.DllCharacteristics == original.OPTIONAL_HEADER.DllCharacteristics
    grown = section(pe, b'.rsrc').SizeOfRawData - section(original, b'.rsrc').SizeOfRawData
    assert header.SizeOfInitializedData == original.OPTIONAL_HEADER.SizeOfInitializedData + grown

    # Everything before the resources is the launcher's, the relocations too.
    rsrc = section(original, b'.rsrc')
    assert section(pe, b'.text').get_data() == section(original, b'.text').get_data()
    assert branded_bytes[header.SizeOfHeaders:rsrc.PointerToRawData] == \
        original_bytes[header.SizeOfHeaders:rsrc.PointerToRawData]
    assert section(pe, b'.reloc').get_data() == section(original, b'.reloc').get_data()
    assert relocations(pe) == relocations(original) and relocations(pe)

    group = resources(pe, RT_GROUP_ICON)
    assert len(group) == 1 and group[0][:2] == (1, 1033)
    directory = group[0][2]
    assert pefile.struct.unpack_from('<HHH', directory) == (0, 1, len(images))
    icons = {name: data for name, _, data in resources(pe, RT_ICON)}
    assert len(icons) == len(images)
    for i, (width, height, bits, data) in enumerate(images):
        entry = pefile.struct.unpack_from('<BBBBHHIH', directory, 6 + 14 * i)
        assert entry == (width, height, 0, 0, 1, bits, len(data), entry[7])
        assert icons[entry[7]] == data

    strings = {}
    for info in pe.FileInfo[0]:
        for table in getattr(info, 'StringTable', []):
            strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    assert strings == {'FileDescription': 'My Äpp', 'ProductName': 'MyApp Suite', 'CompanyName': 'Example Ltd',
                       'LegalCopyright': '© 2024 Example Ltd', 'FileVersion': '1.2.3.4',
                       'ProductVersion': '5.6.0.65535', 'OriginalFilename': 'MyApp.exe', 'InternalName': 'MyApp'}
    fixed = pe.VS_FIXEDFILEINFO[0]
    assert (fixed.FileVersionMS, fixed.FileVersionLS) == (0x00010002, 0x00030004)
    assert (fixed.ProductVersionMS, fixed.ProductVersionLS) == (0x00050006, 0x0000FFFF)

    [(name, _, manifest)] = resources(pe, RT_MANIFEST)
    manifest = manifest.decode()
    architecture = ARCHITECTURES[build]
    assert name == 1
    assert re.search(r'<requestedExecutionLevel level="requireAdministrator" uiAccess="false"/>', manifest)
    assert '>true/pm</dpiAware>' in manifest and '>PerMonitorV2</dpiAwareness>' in manifest
    assert '<activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">UTF-8</activeCodePage>' \
        in manifest
    assert re.search(r'name="Launcher\.Java\.Application" version="[\d.]+" processorArchitecture="%s"'
                     % architecture, manifest)
    assert re.search(r'name="Microsoft\.Windows\.Common-Controls"\s+version="6\.0\.0\.0"\s+'
                     r'processorArchitecture="%s"' % architecture, manifest)
