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
// The library of that kind ("client", "server") when the runtime has one,
// else the first one, as the java command drops a kind a runtime lacks (the
// trace of the loaded library shows which it was).
Text findJvmLibrary(const Text& runtimeHome, const Text& kind);
bool hasJavaLibrary(const Text& directory);
