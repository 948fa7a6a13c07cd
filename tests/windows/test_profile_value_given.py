"""Whether a settings file gives a key a value at all, empty or not: the Linux
launcher's reader against GetPrivateProfileStringA under Wine (which answers a
key it does not find with the default it is handed), over the same corpus as
test_profile_reader.py and a few files about keys that are there but empty."""
import os
import subprocess

import pytest

from test_profile_reader import CASES, LINUX_DUMP, WINDOWS_DUMP, hex_field
from wine import windows_path

GIVEN_CASES = dict(CASES, **{
    'empty and missing values': (
        b'[S]\r\nempty=\r\nblank= \t \r\nquotes=""\r\nbare\r\n[T]\r\n',
        [('S', 'empty'), ('S', 'blank'), ('S', 'quotes'), ('S', 'bare'), ('S', 'none'), ('T', 'empty'),
         ('U', 'empty')]),
    'an empty value in a repeated section': (
        b'[S]\r\na=1\r\n[s]\r\nb=\r\n[S]\r\nc=\r\n', [('S', 'a'), ('S', 'b'), ('S', 'c')]),
    'a bare key before the same key with a value': (
        b'[S]\r\na\r\na=1\r\nb=\r\nb=2\r\n', [('S', 'a'), ('S', 'b')]),
})


def test_the_same_keys_have_values_as_on_windows(wine, tmp_path):
    if not os.path.exists(LINUX_DUMP):
        pytest.skip('build the Linux profile_dump first (%s)' % LINUX_DUMP)
    queries = []
    for index, (name, (data, keys, *_)) in enumerate(GIVEN_CASES.items()):
        path = tmp_path / ('case%02d.ini' % index)
        path.write_bytes(data)
        queries += [(name, path, section, key) for section, key in keys]
    queries.append(('no file', tmp_path / 'missing.ini', 'S', 'a'))

    def ask(program, path_of, run):
        batch = tmp_path / (os.path.basename(program) + '.queries')
        batch.write_text(''.join('given %s %s %s\n' % (hex_field(path_of(path)), hex_field(section), hex_field(key))
                                 for _, path, section, key in queries))
        return run(program, batch).decode('ascii').splitlines()

    windows = ask(WINDOWS_DUMP, lambda path: windows_path(path),
                  lambda program, batch: wine.command([program, windows_path(batch)]).stdout)
    linux = ask(LINUX_DUMP, str, lambda program, batch: subprocess.run([program, batch], capture_output=True,
                                                                         check=True).stdout)
    assert len(windows) == len(linux) == len(queries)
    found = [(name, section, key, w, l) for (name, _, section, key), w, l in zip(queries, windows, linux)]
    assert [q for q in found if q[3] != q[4]] == []
    # The corpus tells the two apart: some keys have values, empty ones among them, some have none.
    given = {(name, section, key): w == 'given' for name, section, key, w, _ in found}
    assert given[('empty and missing values', 'S', 'empty')] and given[('empty and missing values', 'S', 'quotes')]
    assert not given[('empty and missing values', 'S', 'none')] and not given[('no file', 'S', 'a')]
