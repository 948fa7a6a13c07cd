#pragma once
// Chooses the Java runtime of the launch: a private one shipped beside the
// executable, or else one recorded on the system within the configured
// versions, chosen by the preferred versions; and in it the VM library that
// is loaded.
#include "common/failure.h"
#include "common/text.h"
#include "common/text_list.h"
#include "runtime/chosen_runtime.h"
#include "runtime/runtime_choice.h"

// The executable's directory, or its private runtime subdirectory, when it
// holds a runtime (whatever its version); else the best runtime the system
// records. False with why none can be used: none is in range
// (kRuntimeNotFoundFormat), or the private one has no VM library or one built
// for another processor (a recorded one of those is passed over), or the
// private one's home cannot get memory. Either way,
// a line for each recorded runtime that could not be chosen, and why (see
// collectCandidates).
[[nodiscard]] bool chooseRuntime(const Text& directory, const RuntimeRequirement& requirement,
                                 ChosenRuntime& runtime, TextList& passedOver, Failure& failure);
// The same, when the runtimes passed over are not wanted.
[[nodiscard]] bool chooseRuntime(const Text& directory, const RuntimeRequirement& requirement,
                                 ChosenRuntime& runtime, Failure& failure);

extern const char kRuntimeNotFoundFormat[];
