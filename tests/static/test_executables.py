"""Static checks of the built executables: headers, imports, resources, needed libraries."""
import os
import re
import struct
import subprocess

import pefile
import pytest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
SYSTEM_DLLS = {'kernel32.dll', 'user32.dll', 'gdi32.dll', 'advapi32.dll', 'ole32.dll',
               'comctl32.dll', 'msvcrt.dll'}
BUILDS = {
    # name: (machine, optional-header magic, manifest architecture)
    'win32': (0x14C, 0x10B, 'X86'),
    'win64': (0x8664, 0x20B, 'amd64'),
}
# Room for the options as java takes them, main modules and JARs, UTF-16
# paths and arguments, the splash thread and library, the machine's own
# reasons when it cannot start, JAR and argument-file readers that refuse what
# java refuses, a cache folder checked against other users, and (16 KiB of it)
# a single instance's channel, hand-overs and restart, and (16 KiB more)
# class path wildcards, a working directory, JDK_JAVA_OPTIONS, user options,
# an output file and an environment of the settings': still a fraction of
# what a runtime weighs.
SIZE_BUDGET_WIN32 = 120 * 1024


def load(build):
    path = os.path.join(ROOT, 'dist', build, 'launcher.exe')
    if not os.path.exists(path):
        pytest.fail('%s is missing: build first' % path)
    return path, pefile.PE(path)


def resources(pe, type_id):
    """{(name or id, language): bytes} of one resource type."""
    found = {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id != type_id:
            continue
        for entry in kind.directory.entries:
            for language in entry.directory.entries:
                data = language.data.struct
                found[(entry.id, language.id)] = pe.get_data(data.OffsetToData, data.Size)
    return found


@pytest.mark.parametrize('build', sorted(BUILDS))
def test_headers_and_imports(build):
    machine, magic, _ = BUILDS[build]
    path, pe = load(build)
    assert pe.FILE_HEADER.Machine == machine
    assert pe.OPTIONAL_HEADER.Magic == magic
    assert pe.OPTIONAL_HEADER.Subsystem == 2  # Windows GUI
    characteristics = pe.OPTIONAL_HEADER.DllCharacteristics
    assert characteristics & 0x0040, 'ASLR (dynamic base)'
    assert characteristics & 0x0100, 'DEP (NX compatible)'
    assert not pe.FILE_HEADER.Characteristics & 0x0001, 'relocations stripped: ASLR would not apply'
    imported = {entry.dll.decode().lower() for entry in pe.DIRECTORY_ENTRY_IMPORT}
    assert imported <= SYSTEM_DLLS, imported - SYSTEM_DLLS
    if build == 'win32':
        assert os.path.getsize(path) <= SIZE_BUDGET_WIN32


@pytest.mark.parametrize('build', sorted(BUILDS))
def test_icon_group_of_three_256_colour_images(build):
    _, pe = load(build)
    groups = list(resources(pe, 14).values())   # RT_GROUP_ICON
    assert len(groups) == 1
    group = groups[0]
    reserved, kind, count = struct.unpack_from('<HHH', group)
    assert (reserved, kind, count) == (0, 1, 3)
    icons = {key[0]: data for key, data in resources(pe, 3).items()}   # RT_ICON
    sizes = []
    for i in range(count):
        width, height, colours, _, planes, bits, size, icon_id = struct.unpack_from(
            '<BBBBHHIH', group, 6 + 14 * i)
        sizes.append((width, height))
        assert (colours, planes, bits) == (0, 1, 8)   # 256 colours
        header = struct.unpack_from('<IiiHH', icons[icon_id])
        assert header == (40, width, 2 * height, 1, 8)
        assert len(icons[icon_id]) == size
    assert sorted(sizes, reverse=True) == [(32, 32), (24, 24), (16, 16)]


@pytest.mark.parametrize('build', sorted(BUILDS))
def test_version_record_and_manifest(build):
    _, pe = load(build)
    strings = {}
    for info in pe.FileInfo[0]:
        for table in getattr(info, 'StringTable', []):
            strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    assert strings['FileDescription'] and strings['ProductName']
    assert re.fullmatch(r'\d+\.\d+\.\d+', strings['FileVersion'])
    fixed = pe.VS_FIXEDFILEINFO[0]
    major, minor, patch = (int(n) for n in strings['FileVersion'].split('.'))
    assert (fixed.FileVersionMS, fixed.FileVersionLS) == ((major << 16) | minor, patch << 16)

    manifests = resources(pe, 24)   # RT_MANIFEST, id 1: the process's own manifest
    assert [key[0] for key in manifests] == [1]
    manifest = list(manifests.values())[0].decode()
    architecture = BUILDS[build][2]
    assert re.search(r'name="Microsoft\.Windows\.Common-Controls"\s+version="6\.0\.0\.0"\s+'
                     r'processorArchitecture="%s"' % architecture, manifest)


def test_the_linux_launcher_needs_no_cxx_runtime_library():
    # Loading libstdc++ alone costs a start more than all the launcher's own work.
    path = os.path.join(ROOT, 'dist', 'linux-x86_64', 'launcher')
    if not os.path.exists(path):
        pytest.fail('%s is missing: build first' % path)
    dynamic = subprocess.run(['readelf', '--dynamic', path], capture_output=True, text=True, check=True).stdout
    needed = re.findall(r'\(NEEDED\)\s+Shared library: \[([^\]]+)\]', dynamic)
    assert needed, dynamic
    assert [name for name in needed if re.match(r'lib(stdc\+\+|c\+\+|gcc_s|supc\+\+)', name)] == []
