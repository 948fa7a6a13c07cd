#pragma once
// Finds the home of a Java runtime: a private one shipped beside the
// executable, or else one recorded on the system within the configured
// versions, chosen by the preferred versions; and the VM library under a home.
#include "common/text.h"

struct Launcher;

// False only when the executable's own path cannot be had (after its message).
bool findPrivateRuntime(const Launcher& launcher, Text& runtimeHome);
// True with the home of the chosen runtime; false with the home left as it was.
bool searchRegisteredRuntimes(const Launcher& launcher, Text& runtimeHome);
// The full path of the first VM library under the home, or the empty text.
Text findJvmLibrary(const Text& runtimeHome);
bool hasJavaLibrary(const Text& directory);
