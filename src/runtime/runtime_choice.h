#pragma once
// The choice among the runtimes found: the configured range filters them, the
// preferred versions pick among them, else the highest wins.
#include "common/list.h"
#include "common/text.h"
#include "common/text_list.h"
#include "runtime/chosen_runtime.h"
#include "runtime/version_number.h"

#include <stddef.h>

// A runtime that may be chosen, with all that is known of it once chosen.
struct RuntimeCandidate : ChosenRuntime {
    const char* source = "";  // the name of the source that recorded it
};

using CandidateList = List<RuntimeCandidate>;

// What the settings ask of a runtime found on the system.
struct RuntimeRequirement {
    VersionNumber minimum;
    VersionNumber maximum;
    const TextList& preferred;
    const char* vmLibraryKind = ""; // "client" or "server" when the parameters ask for that VM library
};

// Both bounds are inclusive.
bool inRange(const RuntimeRequirement& requirement, const VersionNumber& version);
// Highest version first; equal versions keep their order.
void sortCandidates(CandidateList& candidates);
// The first preferred entry that any candidate satisfies picks the highest
// candidate it matches; without one, the highest candidate.
bool selectRuntime(const RuntimeRequirement& requirement, CandidateList& candidates, size_t& chosen);
