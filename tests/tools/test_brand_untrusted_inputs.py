"""Inputs made to break the branding tool: each ends in a branded file the
tool reads back, or in one printable line and no file; none makes the tool
use memory or time out of proportion to its input, and --out writes only a
regular file."""
import os
import random
import signal
import stat
import struct
import subprocess
import sys
import time
import zlib

import pytest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from test_brand_refusals import BRAND, FAILED, LAUNCHER, ROOT, launcher_bytes, run  # noqa: E402

sys.path.insert(0, os.path.join(ROOT, 'tests'))
from brand_inputs import (bitmap_image, png_chunk, resource_section, shared_ico,  # noqa: E402
                          shared_resource_section, version_record)

MIB = 1 << 20


def section_headers(exe):
    pe = struct.unpack_from('<I', exe, 0x3C)[0]
    count, optional_size = struct.unpack_from('<H', exe, pe + 6)[0], struct.unpack_from('<H', exe, pe + 20)[0]
    return pe, [pe + 24 + optional_size + 40 * i for i in range(count)]


def with_resources(exe, section, rva=None, image_size=None):
    """The launcher with section as its resources (mapped at rva, by default
    where they were), made the last section: the base relocations are left out."""
    pe, headers = section_headers(exe)
    optional = pe + 24
    directories = optional + 112
    rsrc, reloc = headers[-2], headers[-1]
    va, raw = struct.unpack_from('<I', exe, rsrc + 12)[0], struct.unpack_from('<I', exe, rsrc + 20)[0]
    va = va if rva is None else rva
    out = bytearray(exe[:raw] + section + b'\0' * (-len(section) % 512))
    struct.pack_into('<IIII', out, rsrc + 8, len(section), va, len(out) - raw, raw)
    out[reloc:reloc + 40] = b'\0' * 40
    struct.pack_into('<H', out, pe + 6, len(headers) - 1)
    struct.pack_into('<II', out, directories + 8 * 2, va, len(section))
    struct.pack_into('<II', out, directories + 8 * 5, 0, 0)
    end = va + len(section)
    struct.pack_into('<I', out, optional + 56, image_size if image_size is not None else (end + 0xFFF) & ~0xFFF)
    return bytes(out)


def resources_rva(exe):
    """Where the launcher maps its resources: the address the helpers build for."""
    _, headers = section_headers(exe)
    return struct.unpack_from('<I', exe, headers[-2] + 12)[0]


def brand(tmp_path, exe, *arguments, tool=BRAND):
    source = tmp_path / 'in.exe'
    source.write_bytes(exe)
    (tmp_path / 'out').mkdir(exist_ok=True)
    return run(tool, '--in', source, '--out', tmp_path / 'out' / 'MyApp.exe', *arguments)


def assert_refused(done, tmp_path, message):
    assert done.returncode == FAILED, done.stderr
    assert message in done.stderr, done.stderr
    assert done.stderr.startswith('brand: ') and done.stderr.count('\n') == 1
    assert done.stderr.isprintable() or done.stderr[:-1].isprintable()
    assert os.listdir(tmp_path / 'out') == []


def test_the_resource_helpers_make_a_launcher_the_tool_brands(tmp_path):
    manifest = b'<assembly>\n</assembly>\n'
    exe = with_resources(launcher_bytes(), resource_section(resources_rva(launcher_bytes()), [(24, 1, 0x409, manifest)]))
    assert brand(tmp_path, exe, '--execution-level', 'asInvoker', '--description', 'x').returncode == 0


@pytest.mark.parametrize('manifest, option', [
    (b'<assembly><trustInfo></assembly></trustInfo>', ['--execution-level', 'highestAvailable']),
    (b'<assembly><dpiAware></assembly></dpiAware>', ['--dpi-aware', 'system']),
], ids=['trustInfo', 'dpiAware'])
def test_a_manifest_whose_elements_overlap_is_refused(tmp_path, manifest, option):
    exe = with_resources(launcher_bytes(), resource_section(resources_rva(launcher_bytes()), [(24, 1, 0x409, manifest)]))
    assert_refused(brand(tmp_path, exe, *option), tmp_path, 'closes no element open there')


def test_version_records_with_too_many_string_tables_are_refused(tmp_path):
    record = version_record([('%04X04B0' % (0x400 + i), [('A', 'a')]) for i in range(33)])
    exe = with_resources(launcher_bytes(), resource_section(resources_rva(launcher_bytes()), [(16, 1, 0x409, record)]))
    assert_refused(brand(tmp_path, exe, '--company', 'Example Ltd'), tmp_path, '33 string tables')
    fewer = version_record([('%04X04B0' % (0x400 + i), [('A', 'a')]) for i in range(32)])
    exe = with_resources(launcher_bytes(), resource_section(resources_rva(launcher_bytes()), [(16, 1, 0x409, fewer)]))
    assert brand(tmp_path, exe, '--company', 'Example Ltd').returncode == 0


@pytest.mark.parametrize('share_tables', [True, False], ids=['directory tables', 'data entries'])
def test_resources_shared_by_many_entries_are_refused(tmp_path, share_tables):
    """Copied once per reference, 100 KB of them would have made hundreds of MB."""
    section = shared_resource_section(resources_rva(launcher_bytes()), 2000 if share_tables else 600, b'\xAB' * 60000, share_tables)
    exe = with_resources(launcher_bytes(), section)
    assert_refused(brand(tmp_path, exe, '--description', 'x'), tmp_path, 'share tables, names or data')


def test_an_icon_file_whose_entries_share_one_image_is_refused(tmp_path):
    (tmp_path / 'a.ico').write_bytes(shared_ico(4000, bitmap_image(64)))
    done = brand(tmp_path, launcher_bytes(), '--icon', tmp_path / 'a.ico')
    assert_refused(done, tmp_path, "the icon file's images overlap")


def resources_over_the_headers():
    """The launcher made to read its resources from file offset 0, where a
    small resource tree shares the bytes of the MZ header (its root table's
    first field holds "MZ"; the PE header's offset at 0x3C falls between
    tables) and the PE header is moved on to 0x100. The other sections keep
    no file data, so that nothing else lies in the way."""
    exe = launcher_bytes()
    pe, headers = section_headers(exe)
    table_end = headers[-1] + 40
    moved = 0x100
    out = bytearray(exe[:0x40]) + bytearray(moved - 0x40) + bytearray(exe[pe:table_end])
    out += bytearray(1024 - len(out)) + exe[1024:]
    struct.pack_into('<I', out, 0x3C, moved)
    shift = moved - pe
    rsrc = headers[-2] + shift
    va = struct.unpack_from('<I', out, rsrc + 12)[0]
    tree = {0x0C: struct.pack('<HHII', 0, 1, 1000, 0x80000000 | 0x40),
            0x40: struct.pack('<IIHHHHII', 0, 0, 0, 0, 0, 1, 1, 0x80000000 | 0x58),
            0x58: struct.pack('<IIHHHHII', 0, 0, 0, 0, 0, 1, 0x409, 0x70),
            0x70: struct.pack('<IIII', va + 0x80, 4, 0, 0), 0x80: b'data'}
    for offset, data in tree.items():
        out[offset:offset + len(data)] = data
    for header in [h + shift for h in headers[:-2]]:
        struct.pack_into('<II', out, header + 16, 0, 0)
    struct.pack_into('<II', out, rsrc + 16, 0x100, 0)
    struct.pack_into('<I', out, moved + 24 + 112 + 8 * 2 + 4, 0x84)
    return bytes(out)


def test_section_data_among_the_headers_is_refused(tmp_path):
    """Once accepted, and the section table written past the output's end."""
    done = brand(tmp_path, resources_over_the_headers(), '--description', 'x')
    assert_refused(done, tmp_path, 'section .rsrc has its file data among the headers')


def relocated_resources(rva):
    """The launcher's own resources, mapped at rva instead."""
    exe = launcher_bytes()
    _, headers = section_headers(exe)
    va, size, raw = struct.unpack_from('<III', exe, headers[-2] + 12)
    section = bytearray(exe[raw:raw + size])

    def rebase(table):
        named, numbered = struct.unpack_from('<HH', section, table + 12)
        for i in range(named + numbered):
            target = struct.unpack_from('<I', section, table + 16 + 8 * i + 4)[0]
            if target & 0x80000000:
                rebase(target & 0x7FFFFFFF)
            else:
                data_rva = struct.unpack_from('<I', section, target)[0]
                struct.pack_into('<I', section, target, data_rva - va + rva)
    rebase(0)
    return exe, bytes(section)


def noisy_png(size):
    """A PNG image that does not compress: its size is about 4 bytes a pixel."""
    rows = b''.join(b'\0' + random.Random(y).randbytes(4 * size) for y in range(size))
    return (b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            png_chunk(b'IDAT', zlib.compress(rows)) + png_chunk(b'IEND', b''))


def test_resources_at_the_top_of_the_address_space_never_wrap(tmp_path):
    top = 0xFFFFC000
    exe, section = relocated_resources(top)
    # Ending beyond 4 GB as they are: no image size can hold them.
    beyond = with_resources(exe, section + b'\0' * 0x10000, top, image_size=0xFFFFF000)
    assert_refused(brand(tmp_path, beyond, '--description', 'x'), tmp_path, 'the image size leaves out section .rsrc')
    # Ending below, but not once a 64-pixel icon is added.
    near = with_resources(exe, section, top)
    (tmp_path / 'big.png').write_bytes(noisy_png(64))
    assert_refused(brand(tmp_path, near, '--icon', tmp_path / 'big.png'), tmp_path, 'beyond the 4 GB address space')
    # What still fits is branded, its image size and addresses in range.
    assert brand(tmp_path, near, '--description', 'x').returncode == 0
    out = (tmp_path / 'out' / 'MyApp.exe').read_bytes()
    pe, headers = section_headers(out)
    vsize, va = struct.unpack_from('<II', out, headers[-1] + 8)
    assert va == top and va + vsize <= struct.unpack_from('<I', out, pe + 24 + 56)[0]


def test_a_section_name_is_printed_escaped(tmp_path):
    exe = bytearray(launcher_bytes())
    _, headers = section_headers(exe)
    exe[headers[-1]:headers[-1] + 8] = b'\n\x1b[2J\\x\0'
    pe = struct.unpack_from('<I', exe, 0x3C)[0]
    struct.pack_into('<II', exe, pe + 24 + 112 + 8 * 5, 0, 0)  # no base relocations: a stray section
    assert_refused(brand(tmp_path, bytes(exe), '--description', 'x'), tmp_path,
                   'section \\x0a\\x1b[2J\\\\x follows the resources')


# --out


def test_out_refuses_what_is_not_a_regular_file(tmp_path):
    target = tmp_path / 'target.exe'
    target.write_bytes(b'kept')
    places = {'pipe': tmp_path / 'fifo', 'symbolic link': tmp_path / 'link.exe'}
    os.mkfifo(places['pipe'])
    os.symlink(target, places['symbolic link'])
    if os.geteuid() == 0:
        places['device'] = tmp_path / 'null'
        os.mknod(places['device'], 0o666 | stat.S_IFCHR, os.makedev(1, 3))
    for kind, place in places.items():
        done = run(BRAND, '--in', LAUNCHER, '--out', place, '--console')
        assert done.returncode == FAILED and 'is a %s' % kind in done.stderr, (kind, done.stderr)
        assert not stat.S_ISREG(os.lstat(place).st_mode), kind
    assert target.read_bytes() == b'kept'
    assert sorted(os.listdir(tmp_path)) == sorted(['target.exe'] + [p.name for p in places.values()])


def test_a_pipe_given_to_read_is_refused_not_waited_on(tmp_path):
    os.mkfifo(tmp_path / 'fifo')
    for arguments in (['--in', tmp_path / 'fifo'], ['--in', LAUNCHER, '--icon', tmp_path / 'fifo']):
        done = run(BRAND, *arguments, '--out', tmp_path / 'MyApp.exe')
        assert done.returncode == FAILED and 'cannot read %s: not a file' % (tmp_path / 'fifo') in done.stderr
    assert os.listdir(tmp_path) == ['fifo']


def test_an_existing_files_permissions_are_kept(tmp_path):
    out = tmp_path / 'MyApp.exe'
    out.write_bytes(b'old')
    os.chmod(out, 0o640)
    assert run(BRAND, '--in', LAUNCHER, '--out', out, '--console').returncode == 0
    assert stat.S_IMODE(os.stat(out).st_mode) == 0o640
    assert out.read_bytes() != b'old'


def test_a_name_as_long_as_the_file_system_allows_is_accepted(tmp_path):
    name = 'A' * 241 + '.exe'  # 245 characters
    done = run(BRAND, '--in', LAUNCHER, '--out', tmp_path / name, '--description', 'x')
    assert done.returncode == 0, done.stderr
    assert os.listdir(tmp_path) == [name]


def test_an_interrupted_tool_leaves_nothing_behind(tmp_path):
    """Interrupted at moments spread over its run: the output is there whole
    or not at all, and no temporary file is left."""
    large = tmp_path / 'large.exe'
    large.write_bytes(launcher_bytes() + b'\0' * (64 * MIB))  # trailing data, kept as it is
    started = time.monotonic()
    assert run(BRAND, '--in', large, '--out', tmp_path / 'whole.exe', '--console').returncode == 0
    whole = (tmp_path / 'whole.exe').stat().st_size
    duration = time.monotonic() - started
    os.remove(tmp_path / 'whole.exe')
    for step in range(8):
        (tmp_path / 'out').mkdir()
        tool = subprocess.Popen([BRAND, '--in', str(large), '--out', str(tmp_path / 'out' / 'MyApp.exe'), '--gui'],
                                stderr=subprocess.DEVNULL)
        time.sleep(duration * step / 8)
        tool.send_signal(signal.SIGINT)
        code = tool.wait(timeout=60)
        left = os.listdir(tmp_path / 'out')
        assert left in ([], ['MyApp.exe']), (step, left)
        assert code == 0 or left == [], (step, code, left)
        if left:
            assert (tmp_path / 'out' / 'MyApp.exe').stat().st_size == whole
        for name in left:
            os.remove(tmp_path / 'out' / name)
        os.rmdir(tmp_path / 'out')
