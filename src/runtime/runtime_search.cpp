#include "runtime/runtime_search.h"

#include "common/trace.h"
#include "platform/process.h"
#include "platform/runtime_sources.h"
#include "runtime/java_version.h"
#include "runtime/runtime_candidates.h"
#include "runtime/runtime_layout.h"

const char kRuntimeNotFoundFormat[] =
    "Java Runtime Environment (JRE) not found. Please download and install JRE (%s) from: \n"
    "https://adoptium.net/";

namespace {

const char kVmNotFoundFormat[] =
    "Java Virtual Machine (JVM) not found in JRE directory %s. Please reinstall JRE.";
// A recorded runtime for another processor is left out; a private one is named.
const char kOtherProcessorFormat[] =
    "Java Runtime Environment (JRE) in directory %s cannot be used: its VM library is built for another processor.";
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

// The home is the executable's directory, or its private runtime
// subdirectory, when it holds a runtime; else the empty text. False when
// memory runs out: no other runtime may stand in for the private one then.
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

// A private runtime is taken whatever its version; the version is read all
// the same, for the steps that name it.
VmLibraryFit readPrivateRuntime(const char* vmLibraryKind, ChosenRuntime& runtime)
{
    if (runtimeReleaseVersion(runtime.home, runtime.versionText))
        runtime.version = javaVersion(runtime.versionText.chars());
    return findVmLibrary(vmLibraryKind, runtime);
}

bool searchRegisteredRuntimes(const RuntimeRequirement& requirement, ChosenRuntime& runtime, TextList& passedOver)
{
    trace("runtimes on the system, for the %s:", { requirementText(requirement.minimum, requirement.maximum) });
    platform::RuntimeRecords records;
    platform::recordedRuntimes(records);
    recordJavaHome(records);
    CandidateList candidates;
    collectCandidates(records, requirement, candidates, passedOver);
    size_t chosen = 0;
    if (!selectRuntime(requirement, candidates, chosen))
        return false;
    runtime = static_cast<ChosenRuntime&&>(candidates.at(chosen));
    return true;
}

}

bool chooseRuntime(const Text& directory, const RuntimeRequirement& requirement, ChosenRuntime& runtime,
                   TextList& passedOver, Failure& failure)
{
    if (!findPrivateRuntime(directory, runtime.home))
        return fail(failure, kOutOfMemoryMessage);
    // A recorded runtime's library was found and fits, or it was left out.
    VmLibraryFit library = VmLibraryFit::Fits;
    if (!runtime.home.isEmpty()) {
        library = readPrivateRuntime(requirement.vmLibraryKind, runtime);
    } else if (!searchRegisteredRuntimes(requirement, runtime, passedOver)) {
        trace("no runtime found");
        return fail(failure, kRuntimeNotFoundFormat, requirementText(requirement.minimum, requirement.maximum).chars());
    }
    trace("runtime %s: VM library %s",
          { runtime.home, library == VmLibraryFit::Missing ? "none" : runtime.vmLibraryPath.chars() });
    if (library == VmLibraryFit::Missing)
        return fail(failure, kVmNotFoundFormat, runtime.home.chars());
    return library == VmLibraryFit::Fits || fail(failure, kOtherProcessorFormat, runtime.home.chars());
}

bool chooseRuntime(const Text& directory, const RuntimeRequirement& requirement, ChosenRuntime& runtime,
                   Failure& failure)
{
    TextList passedOver;
    return chooseRuntime(directory, requirement, runtime, passedOver, failure);
}
