#pragma once
// Finds the home of a Java runtime: a private one shipped beside the
// executable, or else one recorded on the system within the configured
// versions, chosen by the preferred versions.
#include "common/text.h"
#include "runtime/runtime_choice.h"

// The home is the executable's directory, or its private runtime
// subdirectory, when it holds a runtime; else the empty text. False when
// memory runs out: no other runtime may stand in for the private one then.
[[nodiscard]] bool findPrivateRuntime(const Text& directory, Text& home);
// True with the home of the chosen runtime; false with the home left as it was.
bool searchRegisteredRuntimes(const RuntimeRequirement& requirement, Text& runtimeHome);
