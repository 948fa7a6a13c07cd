"""The launcher's sources keep their floors: only the launch sequence tells
the user why a launch failed, nothing below it reaches up into src/launcher/,
and no two files include each other's headers, directly or round about."""
import os
import re

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
SRC = os.path.join(ROOT, 'src')
INCLUDE = re.compile(r'^#include "([^"]+)\.h"', re.M)


def sources():
    for folder, _, names in os.walk(SRC):
        for name in names:
            if name.endswith(('.h', '.cpp')):
                path = os.path.join(folder, name)
                with open(path, encoding='utf-8') as source:
                    yield os.path.relpath(path, SRC).replace(os.sep, '/'), source.read()


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
    units = {}
    for path, text in sources():
        unit = os.path.splitext(path)[0]
        units.setdefault(unit, set()).update(h for h in INCLUDE.findall(text) if h != unit)
    circles = []

    def visit(unit, trail):
        for used in sorted(units.get(unit, ())):
            if used in trail:
                circles.append(trail[trail.index(used):] + [used])
            elif used not in done:
                visit(used, trail + [used])
        done.add(unit)

    done = set()
    for unit in sorted(units):
        if unit not in done:
            visit(unit, [unit])
    assert circles == []
