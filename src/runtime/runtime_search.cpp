#include "runtime/runtime_search.h"

#include "common/trace.h"
#include "platform/process.h"
#include "platform/runtime_sources.h"
#include "runtime/runtime_candidates.h"
#include "runtime/runtime_layout.h"

namespace {

const char kJavaHomeVariable[] = "JAVA_HOME";

// The runtime the user named in JAVA_HOME comes after every system source.
void recordJavaHome(platform::RuntimeRecords& records)
{
    platform::RuntimeRecord record;
    record.source = kJavaHomeVariable;
    if (!platform::environmentVariable(kJavaHomeVariable, record.home) || record.home.isEmpty()) {
        trace("  source %s: not set", { kJavaHomeVariable });
        return;
    }
    // A record that cannot get memory is left out, as one that is not there.
    if (record.location.assign(kJavaHomeVariable, sizeof kJavaHomeVariable - 1))
        (void)records.append(static_cast<platform::RuntimeRecord&&>(record));
}

bool isPrivateRuntime(const Text& directory)
{
    bool found = hasJavaLibrary(directory);
    trace("private runtime %s: %s", { directory, found ? "found" : "no Java library" });
    return found;
}

}

bool findPrivateRuntime(const Text& directory, Text& home)
{
    home.clear();
    if (directory.isEmpty())
        return true;
    if (isPrivateRuntime(directory))
        return home.assign(directory);
    Text subdirectory;
    if (!subdirectory.assign(directory) || !subdirectory.append(platform::kPrivateRuntimeSubdirectory))
        return false;
    if (isPrivateRuntime(subdirectory))
        home = static_cast<Text&&>(subdirectory);
    return true;
}

bool searchRegisteredRuntimes(const RuntimeRequirement& requirement, Text& runtimeHome)
{
    trace("runtimes on the system, for the %s:", { requirementText(requirement.minimum, requirement.maximum) });
    platform::RuntimeRecords records;
    platform::recordedRuntimes(records);
    recordJavaHome(records);
    CandidateList candidates;
    collectCandidates(records, requirement, candidates);
    size_t chosen = 0;
    if (!selectRuntime(requirement, candidates, chosen))
        return false;
    runtimeHome = static_cast<Text&&>(candidates.at(chosen).home);
    return true;
}
