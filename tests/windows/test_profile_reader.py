"""The Linux launcher's settings reader against GetPrivateProfileStringA under
Wine: the same files and queries give the same counts and bytes, for buffer
sizes that cut values and for the launcher's own whole-value read; and the
keys of every section asked about, in order, against GetPrivateProfileSectionA.

Both sides are small programs answering a batch of queries (see
tests/profile_dump/profile_dump.cpp); the Linux one comes from the Linux
build (LAUNCHER_LINUX_BUILD, by default build/linux)."""
import os
import subprocess

import pytest

from wine import BUILD, ROOT, windows_path

LINUX_BUILD = os.environ.get('LAUNCHER_LINUX_BUILD', os.path.join(ROOT, 'build', 'linux'))
LINUX_DUMP = os.path.join(LINUX_BUILD, 'tests', 'profile_dump', 'profile_dump')
WINDOWS_DUMP = os.path.join(BUILD, 'tests', 'profile_dump', 'profile_dump.exe')
SIZES = ('1', '2', '8', '256', 'ini')


def text(n, first=0):
    return bytes(0x41 + (first + i) % 26 for i in range(n))


LONG = (255, 256, 300, 1000)
CASES = {
    'names in other case': (
        b'[class PATH]\r\nCLASS path=lib\\app.jar\r\n[Java Runtime Environment]\r\nmain class=a.B\r\n',
        [('Class Path', 'Class Path'), ('CLASS PATH', 'class path'),
         ('JAVA RUNTIME ENVIRONMENT', 'Main Class'), ('Java Runtime Environment', 'Class Path')]),
    'blanks around names and values': (
        b' \t[S]  \r\n \t key \t = \t two  words \t \r\nq =\t" padded " \r\nempty =\r\nblank=  \t \r\n'
        b'k2\x0b=\x0cv\x1a\r\nnb=v\xa0\r\n',
        [('S', 'key'), (' S\t', ' key '), ('S', 'q'), ('S', 'empty'), ('S', 'blank'), ('S', 'k2'),
         ('S', 'nb')]),
    'quotes': (
        b'[S]\r\nd="abc"\r\ns=\'abc\'\r\nopen="abc\r\nclose=abc"\r\nmixed="abc\'\r\nonly="\r\nonly1=\'\r\n'
        b'empty=""\r\nempty1=\'\'\r\ninner="a"b"\r\ntwice=""abc""\r\nblanks= " a " \r\nhalf=a "b"\r\n',
        [('S', k) for k in ('d', 's', 'open', 'close', 'mixed', 'only', 'only1', 'empty', 'empty1',
                             'inner', 'twice', 'blanks', 'half')]),
    'comment lines': (
        b'; heading\r\n[S]\r\n;a=commented\r\n# b=commented\r\n  ;c=commented\r\nd=1 ; not a comment\r\n'
        b'; [T]\r\ne=2\r\n',
        [('S', 'a'), ('S', 'b'), ('S', 'c'), ('S', 'd'), ('S', 'e'), ('T', 'e'), ('S', ';a')]),
    'repeated sections and keys': (
        b'[S]\r\na=1\r\na=2\r\n[T]\r\nb=1\r\n[s]\r\na=3\r\nc=3\r\n[T]\r\nb=2\r\n',
        [('S', 'a'), ('S', 'c'), ('T', 'b')]),
    'lines without equals': (
        b'[S]\r\na\r\na=1\r\nb c\r\n=5\r\nd=x=y\r\n[T\r\ne=4\r\n[U]x]\r\nf=6\r\n[]\r\ng=7\r\n',
        [('S', 'a'), ('S', 'b c'), ('S', 'd'), ('S', 'e'), ('T', 'e'), ('U]x', 'f'), ('U', 'f')]),
    'text before the first section': (
        b'a=0\r\nstray words\r\n[S]\r\nb=1\r\n', [('S', 'a'), ('S', 'b'), ('S', 'stray words')]),
    'line breaks LF': (b'[S]\na=1\n\nb= 2 \n[T]\nc=3', [('S', 'a'), ('S', 'b'), ('T', 'c')]),
    'line breaks CR': (b'[S]\ra=1\r\rb= 2 \r[T]\rc=3', [('S', 'a'), ('S', 'b'), ('T', 'c')]),
    'line breaks CRLF without a last one': (b'[S]\r\na=1\r\n\r\nb=2', [('S', 'a'), ('S', 'b')]),
    'tabs inside values': (
        b'[S]\r\na=x\ty\r\nb=\tx\t\ty\t\r\nc="\tx\t"\r\n', [('S', 'a'), ('S', 'b'), ('S', 'c')]),
    'bytes above ASCII in values': (
        b'[S]\r\na=caf\xe9 \x80\x81\x9f\xff\r\n', [('S', 'a')]),
    'UTF-8 byte order mark': (b'\xef\xbb\xbf[S]\r\na=1\r\n', [('S', 'a')]),
    # Values of a UTF-8 file come in the ANSI code page (on Linux: the
    # locale's encoding, here CP1252), an invalid byte as '?'.
    'UTF-8 byte order mark with accented value': (
        b'\xef\xbb\xbf[S]\r\na=caf\xc3\xa9 \xe2\x82\xac\r\nb=caf\xe9\r\nc=\xf0\x9f\x98\x80\r\n',
        [('S', 'a'), ('S', 'b'), ('S', 'c')]),
    # Names and values end at a NUL. (Size 2 cuts the quoted "x" where Wine
    # loses its last character.)
    'NUL bytes in names and values': (
        b'[S]\r\na=ab\0cd\r\nb="ab\0cd"\r\nc= x \0y \r\nd=\0abc\r\ne="x"\0"y"\r\nk\0z=5\r\nf=ok\r\n'
        b'[T\0U]\r\ng=1\r\n[V]\0junk\r\nh=2\r\n',
        [('S', k) for k in 'abcdekf'] + [('T', 'g'), ('V', 'h')], ('1', '8', '256', 'ini')),
    'mixed line breaks': (b'[S]\ra=1\rb=2\nc=3\r\nd=x\ry\r\n', [('S', k) for k in 'abcdy']),
    'blanks inside section brackets': (b'[ S ]\r\na=1\r\n[\tT\t]\r\nb=2\r\n', [('S', 'a'), ('T', 'b')]),
    # A quoted value of exactly size - 1 characters comes back from Wine as
    # size - 2, one character short; the launcher reads such a count again.
    'quoted value filling the first buffer': (
        b'[S]\r\na="%s"\r\nb=\'%s\'\r\n' % (text(255), text(511)), [('S', 'a'), ('S', 'b')], ('ini',)),
    'long values': (
        b'[S]\r\n' + b''.join(b'u%d=%s\r\n' % (n, text(n, n)) for n in LONG),
        [('S', 'u%d' % n) for n in LONG], ('254', '255', '256', '257', '299', '300', '301', '999', '1000',
                                           '1001', 'ini')),
    # Every size but the value's length plus one, where Wine loses the last
    # character (see 'quoted value filling the first buffer').
    'long quoted values': (
        b'[S]\r\n' + b''.join(b'd%d="%s"\r\ns%d=\'%s\'\r\n' % (n, text(n, n), n, text(n, n + 1))
                              for n in (256, 300, 1000)),
        [('S', k % n) for n in (256, 300, 1000) for k in ('d%d', 's%d')],
        ('255', '256', '300', '302', '1000', '1002', 'ini')),
    'a section of keys in order': (
        b'[Environment]\r\nPATH=%APPDIR%\\native;%PATH%\r\n; a comment\r\n  MYAPP_HOME = "%APPDIR%" \r\n'
        b'EMPTY=\r\nNOVALUE\r\n=nameless\r\nA=1\r\na=2\r\n#HASH=3\r\n q = \'x y\' \r\n[Other]\r\nB=4\r\n'
        b'[environment]\r\nC=5\r\n',
        [('Environment', 'PATH'), ('Other', 'B')]),
}

def params():
    for name, (data, queries, *sizes) in CASES.items():
        yield pytest.param(name, data, queries, sizes[0] if sizes else SIZES, id=name)


def hex_field(value):
    return (value.encode('latin-1') if isinstance(value, str) else value).hex()


@pytest.fixture(scope='module')
def answers(wine, tmp_path_factory):
    """Runs every query of every case once on each side: {(case, query): (windows, linux)}."""
    if not os.path.exists(LINUX_DUMP):
        pytest.skip('build the Linux profile_dump first (%s)' % LINUX_DUMP)
    directory = tmp_path_factory.mktemp('profiles')
    queries = []
    for index, param in enumerate(params()):
        name, data, keys, sizes = param.values
        path = directory / ('case%02d.ini' % index)
        path.write_bytes(data)
        queries += [(name, str(path), section, key, size) for section, key in keys for size in sizes]
        queries += [(name, str(path), section, '', 'section') for section in dict.fromkeys(s for s, _ in keys)]

    def ask(program, path_of, run):
        batch = directory / (os.path.basename(program) + '.queries')
        batch.write_text(''.join('%s %s %s %s\n' % (size, hex_field(path_of(path)), hex_field(section),
                                                    hex_field(key))
                                 for _, path, section, key, size in queries))
        lines = run(program, batch).decode('ascii').splitlines()
        assert len(lines) == len(queries), 'every query needs an answer'
        return lines

    windows = ask(WINDOWS_DUMP, windows_path,
                  lambda program, batch: wine.command([program, windows_path(batch)]).stdout)
    cp1252 = dict(os.environ, LC_ALL='en_US.CP1252', LOCPATH=str(directory))
    subprocess.run(['localedef', '-c', '-i', 'en_US', '-f', 'CP1252', directory / 'en_US.CP1252'],
                   capture_output=True)
    linux = ask(LINUX_DUMP, str,
                lambda program, batch: subprocess.run([program, batch], capture_output=True, env=cp1252,
                                                      check=True).stdout)
    result = {}
    for (name, _, section, key, size), w, l in zip(queries, windows, linux):
        result.setdefault(name, []).append(((section, key, size), w, l))
    return result


def readable(answer):
    count, _, rest = answer.partition(' ')
    data, _, flag = rest.partition(' ')
    return int(count), bytes.fromhex(data), flag


@pytest.mark.parametrize('name, data, queries, sizes', params())
def test_same_values_as_windows(answers, name, data, queries, sizes):
    found = answers[name]
    assert any(readable(w)[0] for _, w, _ in found), 'every case reads some value on Windows'
    # (section, key, size), then (count, bytes, flag) of Windows and of Linux
    assert [(q, readable(w), readable(l)) for q, w, l in found if w != l] == []
