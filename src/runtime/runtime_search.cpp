#include "runtime/runtime_search.h"

#include "common/trace.h"
#include "config/module_path.h"
#include "launcher/launcher.h"
#include "platform/platform.h"
#include "runtime/runtime_candidates.h"

#include <string.h>

namespace {

const char kJavaHomeVariable[] = "JAVA_HOME";

Text firstExisting(const Text& directory, const char* const* relativePaths)
{
    for (const char* const* relative = relativePaths; *relative; ++relative) {
        Text path(directory);
        if (path.append(*relative) && platform::fileExists(path.chars()))
            return path;
    }
    return Text();
}

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

// The library's own folder is named after its kind: bin\server\jvm.dll, lib/server/libjvm.so.
bool isOfKind(const char* relativePath, const Text& kind)
{
    const char* found = strstr(relativePath, kind.chars());
    return found && found > relativePath && found[-1] == platform::kPathSeparator
        && found[kind.length()] == platform::kPathSeparator;
}

bool isPrivateRuntime(const Text& directory)
{
    bool found = hasJavaLibrary(directory);
    trace("private runtime %s: %s", { directory, found ? "found" : "no Java library" });
    return found;
}

}

bool hasJavaLibrary(const Text& directory)
{
    return !firstExisting(directory, platform::kJavaLibraryPaths).isEmpty();
}

Text findJvmLibrary(const Text& runtimeHome)
{
    return firstExisting(runtimeHome, platform::kVmLibraryPaths);
}

Text findJvmLibrary(const Text& runtimeHome, const Text& kind)
{
    for (const char* const* relative = platform::kVmLibraryPaths; *relative && !kind.isEmpty(); ++relative) {
        Text path(runtimeHome);
        if (isOfKind(*relative, kind) && path.append(*relative) && platform::fileExists(path.chars()))
            return path;
    }
    return findJvmLibrary(runtimeHome);
}

bool findPrivateRuntime(const Launcher& launcher, Text& runtimeHome)
{
    Text directory;
    if (!getModuleDirectory(launcher, directory))
        return false;
    runtimeHome.clear();
    if (directory.isEmpty())
        return true;
    if (isPrivateRuntime(directory)) {
        runtimeHome = directory;
        return true;
    }
    if (directory.append(platform::kPrivateRuntimeSubdirectory) && isPrivateRuntime(directory))
        runtimeHome = directory;
    return true;
}

bool searchRegisteredRuntimes(const Launcher& launcher, Text& runtimeHome)
{
    RuntimeRequirement requirement = { launcher.minimumVersion, launcher.maximumVersion, launcher.preferredVersions };
    trace("runtimes on the system, for the %s:", { requirementText(requirement.minimum, requirement.maximum) });
    platform::RuntimeRecords records;
    platform::recordedRuntimes(records);
    recordJavaHome(records);
    CandidateList candidates;
    collectCandidates(records, requirement, candidates);
    size_t chosen = 0;
    if (!selectRuntime(requirement, candidates, chosen))
        return false;
    runtimeHome = candidates.at(chosen).home;
    return true;
}
