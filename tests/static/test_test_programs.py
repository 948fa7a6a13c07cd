"""Static checks of the Wine rig's own programs in each Windows build: each is
built for the build's processor, and the jvm.dll double exports the JNI entry
points as a real runtime's jvm.dll does, undecorated on x86 too."""
import os

import pefile
import pytest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
MACHINES = {'win32': 0x14C, 'win64': 0x8664}
BOTH_ENTRY_POINTS = {'JNI_CreateJavaVM', 'JNI_GetDefaultJavaVMInitArgs'}
DOUBLE_EXPORTS = {
    'jvm_double.dll': BOTH_ENTRY_POINTS,
    'jvm_double_with_helper.dll': BOTH_ENTRY_POINTS,
    'jvm_double_without_create.dll': {'JNI_GetDefaultJavaVMInitArgs'},
    'jvm_double_without_default_args.dll': {'JNI_CreateJavaVM'},
    # The splash library's entry points, as a runtime's splashscreen.dll exports them.
    'splashscreen.dll': {'SplashInit', 'SplashGetScaledImgNameMaxPstfixLen', 'SplashGetScaledImageName',
                         'SplashSetScaleFactor', 'SplashLoadFile', 'SplashLoadMemory', 'SplashSetFileJarName',
                         'SplashClose'},
}
PROGRAMS = ['tests/windows/rig.exe', 'tests/windows/resource_probe.exe', 'tests/profile_dump/profile_dump.exe',
            'tests/windows/jvm_double/jvm_double_helper.dll'] + \
           ['tests/windows/jvm_double/' + name for name in sorted(DOUBLE_EXPORTS)]


def load(build, program):
    path = os.path.join(ROOT, 'build', build, *program.split('/'))
    if not os.path.exists(path):
        pytest.fail('%s is missing: build first' % path)
    return pefile.PE(path)


@pytest.mark.parametrize('build', sorted(MACHINES))
@pytest.mark.parametrize('program', PROGRAMS)
def test_built_for_the_builds_processor(build, program):
    assert load(build, program).FILE_HEADER.Machine == MACHINES[build]


@pytest.mark.parametrize('build', sorted(MACHINES))
@pytest.mark.parametrize('double', sorted(DOUBLE_EXPORTS))
def test_the_double_exports_undecorated_entry_points(build, double):
    pe = load(build, 'tests/windows/jvm_double/' + double)
    assert {symbol.name.decode() for symbol in pe.DIRECTORY_ENTRY_EXPORT.symbols} == DOUBLE_EXPORTS[double]
