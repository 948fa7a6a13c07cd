"""The launcher's sources keep their floors: only the launch sequence tells
the user why a launch failed, nothing below it reaches up into src/launcher/,
each folder includes only the folders beneath it, and no two files or
folders include each other's headers, directly or round about."""
import os
import re

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
SRC = os.path.join(ROOT, 'src')
INCLUDE = re.compile(r'^#include "([^"]+)\.h"', re.M)

# The floors, from the bottom: common < platform < {runtime, jar} < config <
# {jvm, splash} < instance < launcher. A folder includes its own headers and those of the
# folders named here, never one on its own floor or above it.
ALLOWED_FOLDERS = {
    'common': set(),
    'platform': {'common'},
    'runtime': {'common', 'platform'},
    'jar': {'common', 'platform'},
    'config': {'common', 'platform', 'runtime', 'jar'},
    'jvm': {'common', 'platform', 'runtime', 'jar', 'config'},
    'splash': {'common', 'platform', 'runtime', 'jar', 'config'},
    'instance': {'common', 'platform', 'runtime', 'jar', 'config', 'jvm', 'splash'},
    'launcher': {'common', 'platform', 'runtime', 'jar', 'config', 'jvm', 'splash', 'instance'},
}

# Writes to standard output or error, and boxes: telling the user something.
USER_OUTPUT = [
    re.compile(r'\b(?:printf|vprintf|puts|putchar)\s*\('),
    re.compile(r'\b(?:fprintf|vfprintf|fputs|fputc|putc|fwrite|fflush)\s*\([^;]*\b(?:stderr|stdout)\b'),
    re.compile(r'\bstd::(?:cerr|cout|clog)\b'),
    re.compile(r'\bwrite\s*\(\s*(?:1|2|STDOUT_FILENO|STDERR_FILENO)\s*,'),
    re.compile(r'\bWriteConsole\w*\s*\('),
    re.compile(r'\bMessageBox\w*\s*\('),
    re.compile(r'\bshowErrorBox\s*\('),
]
# WriteFile to a handle of GetStdHandle: a file with both.
STANDARD_HANDLE = re.compile(r'\bGetStdHandle\s*\(')
WRITE_FILE = re.compile(r'\bWriteFile\s*\(')
# Besides src/launcher/, only the platform's message box (which is standard
# error on Linux and in the console flavour) and its passing on of what the
# virtual machine prints to where the machine would have printed it.
SPEAKING_FILES = {
    'platform/message_box.h',
    'platform/posix/message_box.cpp',
    'platform/win32/message_box.cpp',
    'platform/posix/standard_streams.cpp',
    'platform/win32/standard_streams.cpp',
}
COMMENT_OR_STRING = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)


def sources(root=SRC):
    for folder, _, names in os.walk(root):
        for name in names:
            if name.endswith(('.h', '.cpp')):
                path = os.path.join(folder, name)
                with open(path, encoding='utf-8') as source:
                    yield os.path.relpath(path, root).replace(os.sep, '/'), source.read()


def code_of(text):
    """The text without comments and literals, which may name anything."""
    return COMMENT_OR_STRING.sub(lambda m: '""' if m.group(0).startswith('"') else ' ', text)


def user_output(root=SRC):
    """(file, what it writes) for each write to the user outside the places allowed."""
    found = []
    for path, text in sources(root):
        if path.startswith('launcher/') or path in SPEAKING_FILES:
            continue
        code = code_of(text)
        found += [(path, m.group(0)) for pattern in USER_OUTPUT for m in pattern.finditer(code)]
        if STANDARD_HANDLE.search(code) and WRITE_FILE.search(code):
            found.append((path, 'WriteFile to a standard handle'))
    return sorted(found)


def folder_of(path):
    return path.split('/', 1)[0]


def folder_arrows(root=SRC):
    """{(folder, included folder): count} over the quoted includes; a name
    without a folder ("platform_types.h") is its includer's folder's."""
    arrows = {}
    for path, text in sources(root):
        here = folder_of(path)
        for header in INCLUDE.findall(text):
            there = folder_of(header) if '/' in header else here
            if there != here:
                arrows[(here, there)] = arrows.get((here, there), 0) + 1
    return arrows


def arrows_against_floors(root=SRC):
    """'file includes header' for each include of a folder that is not beneath the includer's."""
    against = []
    for path, text in sources(root):
        here = folder_of(path)
        for header in INCLUDE.findall(text):
            there = folder_of(header) if '/' in header else here
            if there != here and there not in ALLOWED_FOLDERS.get(here, set()):
                against.append('%s includes %s.h' % (path, header))
    return sorted(against)


def circles_in(graph):
    """Each circle of the graph ({node: set of nodes}), from where the search met it."""
    circles = []
    done = set()

    def visit(node, trail):
        for used in sorted(graph.get(node, ())):
            if used in trail:
                circles.append(trail[trail.index(used):] + [used])
            elif used not in done:
                visit(used, trail + [used])
        done.add(node)

    for node in sorted(graph):
        if node not in done:
            visit(node, [node])
    return circles


def file_circles(root=SRC):
    units = {}
    for path, text in sources(root):
        unit = os.path.splitext(path)[0]
        units.setdefault(unit, set()).update(h for h in INCLUDE.findall(text) if h != unit)
    return circles_in(units)


def folder_circles(root=SRC):
    graph = {}
    for here, there in folder_arrows(root):
        graph.setdefault(here, set()).add(there)
    return circles_in(graph)


def test_nothing_below_the_launch_sequence_includes_it_or_shows_a_message():
    upward, showing = [], []
    for path, text in sources():
        if path.startswith('launcher/'):
            continue
        upward += ['%s includes %s.h' % (path, h) for h in INCLUDE.findall(text) if h.startswith('launcher/')]
        if not path.startswith('platform/') and 'showErrorBox' in text:
            showing.append(path)
    assert upward == []
    assert showing == []


def test_no_include_circle():
    circles = file_circles()
    assert circles == []


def test_only_the_launch_sequence_and_the_platforms_messages_tell_the_user():
    assert user_output() == []
    present = {path for path, _ in sources()}
    assert SPEAKING_FILES <= present


def test_each_folder_includes_only_the_folders_beneath_it():
    assert arrows_against_floors() == []
    assert {folder_of(path) for path, _ in sources()} == set(ALLOWED_FOLDERS)


def test_no_folder_circle():
    assert folder_circles() == []


# The rules on a small tree of planted sources.
PLANTED = {
    # Tells the user: allowed in the launch sequence and the platform's messages.
    'launcher/report.cpp': '#include "platform/message_box.h"\n'
                           'void report() { platform::showErrorBox(nullptr, "x"); fputs("x\\n", stderr); }\n',
    'platform/posix/message_box.cpp': 'void showErrorBox(void*, const char* text) { fputs(text, stderr); }\n',
    'platform/win32/standard_streams.cpp': 'void pass() { WriteFile(GetStdHandle(STD_ERROR_HANDLE), t, n, &w, 0); }\n',
    # ... and nowhere else; a comment or a literal that names a call is no call.
    'config/reader.cpp': '#include "config/reader.h"\n\n'
                         '// MessageBoxA would be wrong here, and so would printf("...").\n'
                         'void warn() { fprintf(stderr, "bad setting\\n"); const char* t = "puts(x)"; }\n',
    'config/reader.h': '#pragma once\n#include "runtime/version.h"\n',
    'jvm/box.cpp': '#include "config/reader.h"\n\nvoid box() { MessageBoxA(nullptr, "x", nullptr, MB_OK); }\n',
    'jvm/console.cpp': 'void say() { HANDLE e = GetStdHandle(STD_ERROR_HANDLE); WriteFile(e, t, n, &w, 0);\n'
                       '  std::cerr << "x"; write(2, "x", 1); printf("%d", 1); }\n',
    'splash/status.cpp': 'void status() { write(fd, buffer, 4); fwrite(b, 1, n, file); snprintf(b, 9, "x"); }\n',
    # The platform reaching up to config/.
    'platform/posix/files.cpp': '#include "platform/files.h"\n\n#include "config/settings.h"\n',
    'platform/files.h': '#pragma once\n#include "common/text.h"\n#include "platform_types.h"\n',
    'platform/posix/types/platform_types.h': '#pragma once\n',
    'common/text.h': '#pragma once\n',
    'config/settings.h': '#pragma once\n#include "common/text.h"\n',
    # Two files of one floor that include each other, and two floors round about.
    'common/first.h': '#pragma once\n#include "common/second.h"\n',
    'common/second.h': '#pragma once\n#include "common/first.h"\n',
    'runtime/version.h': '#pragma once\n#include "jar/entry.h"\n',
    'jar/entry.h': '#pragma once\n#include "common/text.h"\n',
    'jar/entry.cpp': '#include "jar/entry.h"\n\n#include "runtime/version.h"\n',
}


def plant(tmp_path):
    for path, text in PLANTED.items():
        target = tmp_path / path
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_text(text, encoding='utf-8')
    return str(tmp_path)


def test_a_planted_write_to_the_user_is_found(tmp_path):
    assert user_output(plant(tmp_path)) == [
        ('config/reader.cpp', 'fprintf(stderr'),
        ('jvm/box.cpp', 'MessageBoxA('),
        ('jvm/console.cpp', 'WriteFile to a standard handle'),
        ('jvm/console.cpp', 'printf('),
        ('jvm/console.cpp', 'std::cerr'),
        ('jvm/console.cpp', 'write(2,'),
    ]


def test_a_planted_arrow_against_the_floors_is_found(tmp_path):
    assert arrows_against_floors(plant(tmp_path)) == [
        'jar/entry.cpp includes runtime/version.h',
        'platform/posix/files.cpp includes config/settings.h',
        'runtime/version.h includes jar/entry.h',
    ]


def test_a_planted_circle_is_found_among_files_and_among_folders(tmp_path):
    root = plant(tmp_path)
    assert file_circles(root) == [
        ['common/first', 'common/second', 'common/first'],
        ['runtime/version', 'jar/entry', 'runtime/version'],
    ]
    assert folder_circles(root) == [['runtime', 'jar', 'runtime']]
    assert folder_arrows(root)[('platform', 'config')] == 1
