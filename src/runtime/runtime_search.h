#pragma once
// Finds the home of a Java runtime: a private one shipped beside the
// executable, or else one recorded on the system within the configured
// versions, chosen by the preferred versions.
#include "common/text.h"
#include "runtime/runtime_choice.h"

// The executable's directory, or its private runtime subdirectory, when it
// holds a runtime; else the empty text.
Text findPrivateRuntime(const Text& directory);
// True with the home of the chosen runtime; false with the home left as it
// was. Either way, a line for each runtime found that could not be chosen,
// and why (see collectCandidates).
bool searchRegisteredRuntimes(const RuntimeRequirement& requirement, Text& runtimeHome, TextList& passedOver);
