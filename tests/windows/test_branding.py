"""Branded launchers as Windows reads them: the icon it picks for each size,
the version strings and numbers, the manifest and the subsystem, read by
resource_probe.exe through Windows' own functions; and branded launchers
starting an application through the jvm.dll double."""
import os
import shutil
import subprocess
import sys

import pytest

from wine import (BUILD, LAUNCHER_EXE, ROOT, TEST_PROGRAMS, install_runtime, jvm_double_env, read_record,
                  unescape, windows_path)

sys.path.insert(0, os.path.join(ROOT, 'tests'))
from brand_inputs import mixed_ico, png_image  # noqa: E402

BRAND = os.path.join(BUILD, 'brand-host', 'brand')
WINDOWS_BRAND = os.path.join(ROOT, 'dist', 'win64', 'brand.exe')
PROBE = os.path.join(TEST_PROGRAMS, 'resource_probe.exe')
CONSOLE_LAUNCHER = os.path.join(BUILD, 'src', 'launcherc.exe')
IDENTITY = ['--file-version', '2.4.6.8', '--product-version', '2.4.0.0', '--description', 'My Application',
            '--product-name', 'MyApp Suite', '--company', 'Example Ltd', '--copyright', '(c) 2024 Example Ltd']
SETTINGS = '[Class Path]\nClass Path=app.jar\n[Java Runtime Environment]\nMain Class=com.example.Main\n'


def brand(out, *arguments):
    done = subprocess.run([BRAND, '--in', LAUNCHER_EXE, '--out', str(out)] + [str(a) for a in arguments],
                          capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return out


def probe(wine, exe):
    """What resource_probe.exe reports: {kind: [fields after the kind, ...]}."""
    done = wine.command([PROBE, windows_path(exe)], check=False)
    report = {}
    for line in done.stdout.decode('ascii').splitlines():
        kind, *fields = line.split('\t')
        report.setdefault(kind, []).append(fields)
    assert done.returncode == 0, report
    return report


def with_pngs(tmp_path, sizes):
    options = []
    for size in sizes:
        (tmp_path / ('%d.png' % size)).write_bytes(png_image(size))
        options += ['--icon', tmp_path / ('%d.png' % size)]
    return options


@pytest.mark.parametrize('icon', ['png', 'ico'])
def test_windows_reads_the_icon_group_at_every_size(wine, tmp_path, icon):
    if icon == 'png':
        options = with_pngs(tmp_path, (16, 32, 48, 256))
    else:
        (tmp_path / 'app.ico').write_bytes(mixed_ico())
        options = ['--icon', tmp_path / 'app.ico']
    report = probe(wine, brand(tmp_path / 'MyApp.exe', *options))
    # Each size has an image of its own, which Windows picks and loads.
    assert report['icon'] == [[str(size), '%dx%d' % (size, size), '%dx%d' % (size, size)] for size in (16, 32, 48, 256)]
    assert report['extract'] == [['1', '32x32', '16x16']]


def test_windows_scales_the_nearest_image_when_a_size_is_missing(wine, tmp_path):
    report = probe(wine, brand(tmp_path / 'MyApp.exe', *with_pngs(tmp_path, (256,))))
    assert report['icon'] == [[str(size), '256x256', '%dx%d' % (size, size)] for size in (16, 32, 48, 256)]


def test_windows_reads_the_version_record_and_manifest(wine, tmp_path):
    exe = brand(tmp_path / 'MyApp.exe', *IDENTITY, '--execution-level', 'highestAvailable', '--dpi-aware', 'system')
    report = probe(wine, exe)
    assert dict(report['string']) == {
        'FileDescription': 'My Application', 'ProductName': 'MyApp Suite', 'CompanyName': 'Example Ltd',
        'LegalCopyright': '(c) 2024 Example Ltd', 'OriginalFilename': 'MyApp.exe', 'InternalName': 'MyApp',
        'FileVersion': '2.4.6.8', 'ProductVersion': '2.4.0.0'}
    assert dict(report['fixed']) == {'file': '2.4.6.8', 'product': '2.4.0.0'}
    manifest = unescape(report['manifest'][0][0]).decode()
    assert '<requestedExecutionLevel level="highestAvailable" uiAccess="false"/>' in manifest
    assert '>true</dpiAware>' in manifest and 'Microsoft.Windows.Common-Controls' in manifest
    assert report['exetype'][0][0] == 'PE' and report['exetype'][0][1] != '0'   # still a window program
    # Branded with an icon alone, the strings not named keep their values.
    report = probe(wine, brand(tmp_path / 'Other.exe', *with_pngs(tmp_path, (32,))))
    strings = dict(report['string'])
    assert strings['ProductName'] == 'Java Application Launcher'
    assert (strings['OriginalFilename'], strings['InternalName']) == ('Other.exe', 'Other')


def test_windows_sees_the_console_launcher_as_a_console_program(wine):
    gui, console = probe(wine, LAUNCHER_EXE), probe(wine, CONSOLE_LAUNCHER)
    assert console['exetype'] == [['PE', '0']]
    assert gui['exetype'][0][0] == 'PE' and gui['exetype'][0][1] != '0'
    assert console['string'] == gui['string'] and console['icon'] == gui['icon']


@pytest.mark.parametrize('flavour', ['branded', 'console'])
def test_a_branded_launcher_starts_the_application(wine, tmp_path, flavour):
    app = tmp_path / 'My App'
    app.mkdir()
    exe = app / 'MyApp.exe'
    if flavour == 'console':
        shutil.copyfile(CONSOLE_LAUNCHER, exe)
    else:
        brand(exe, *IDENTITY, *with_pngs(tmp_path, (16, 256)), '--execution-level', 'asInvoker',
              '--dpi-aware', 'per-monitor-v2')
    (app / 'MyApp.ini').write_text(SETTINGS)
    install_runtime(app / 'jre')
    record = tmp_path / 'record.jsonl'
    run = wine.run(exe, env=jvm_double_env(record))
    assert run.boxes == []
    assert run.exit_code == 0
    assert [e['class'] for e in read_record(record) if e['event'] == 'main'] == ['com/example/Main']


def test_the_windows_tool_brands_as_the_linux_one_does(wine, tmp_path):
    options = IDENTITY + with_pngs(tmp_path, (16, 256)) + ['--console', '--dpi-aware', 'system']
    (tmp_path / 'linux').mkdir()
    expected = brand(tmp_path / 'linux' / 'MyApp.exe', *options).read_bytes()
    on_windows = [windows_path(o) if isinstance(o, os.PathLike) else o for o in options]
    out = tmp_path / 'MyApp.exe'
    done = wine.command([WINDOWS_BRAND, '--in', windows_path(LAUNCHER_EXE), '--out', windows_path(out)] + on_windows,
                        check=False)
    assert done.returncode == 0, done.stderr
    assert out.read_bytes() == expected
    # Its refusals too leave no file behind.
    refused = wine.command([WINDOWS_BRAND, '--in', windows_path(tmp_path / '16.png'),
                            '--out', windows_path(tmp_path / 'No.exe'), '--gui'], check=False)
    assert refused.returncode == 1 and b'16.png: not a Windows executable (no MZ header)' in refused.stderr
    assert sorted(os.listdir(tmp_path)) == ['16.png', '256.png', 'MyApp.exe', 'linux']
