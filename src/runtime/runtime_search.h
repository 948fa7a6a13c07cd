#pragma once
// Finds the home of a Java runtime: a private one shipped beside the
// executable, or else a registered one within the configured versions, chosen
// by the preferred versions; and the VM library under a home.
#include "common/list.h"
#include "common/text.h"
#include "runtime/version_number.h"

struct Launcher;

struct RuntimeCandidate {
    VersionNumber version;
    Text home;
};

using CandidateList = List<RuntimeCandidate>;

// False only when the executable's own path cannot be had (after its message).
bool findPrivateRuntime(const Launcher& launcher, Text& runtimeHome);
bool searchRegisteredRuntimes(const Launcher& launcher, Text& runtimeHome);
// The full path of the first VM library under the home, or the empty text.
Text findJvmLibrary(const Text& runtimeHome);
bool hasJavaLibrary(const Text& directory);
bool readRuntimeHome(const char* name, Text& home);

// Highest version first; equal versions keep their order.
void sortCandidates(CandidateList& candidates);
// The first preferred entry that any candidate satisfies picks the highest
// candidate it matches; without one, the highest candidate.
bool selectRuntime(const Launcher& launcher, CandidateList& candidates, size_t& chosen);
