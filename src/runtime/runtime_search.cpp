#include "runtime/runtime_search.h"

#include "common/text_scan.h"
#include "config/module_path.h"
#include "launcher/launcher.h"
#include "platform/platform.h"

namespace {

Text firstExisting(const Text& directory, const char* const* relativePaths)
{
    for (const char* const* relative = relativePaths; *relative; ++relative) {
        Text path(directory);
        if (path.append(*relative) && platform::fileExists(path.chars()))
            return path;
    }
    return Text();
}

bool endWithSeparator(Text& directory)
{
    return endsWithCharacter(directory, platform::kPathSeparator) || directory.appendChar(platform::kPathSeparator);
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

bool findPrivateRuntime(const Launcher& launcher, Text& runtimeHome)
{
    Text directory;
    if (!getModuleDirectory(launcher, directory))
        return false;
    runtimeHome.clear();
    if (directory.isEmpty())
        return true;
    if (hasJavaLibrary(directory)) {
        runtimeHome = directory;
        return true;
    }
    if (directory.append(platform::kPrivateRuntimeSubdirectory) && hasJavaLibrary(directory))
        runtimeHome = directory;
    return true;
}

bool readRuntimeHome(const char* name, Text& home)
{
    return platform::registeredRuntimeHome(name, home) && endWithSeparator(home)
        && !findJvmLibrary(home).isEmpty();
}

bool searchRegisteredRuntimes(const Launcher& launcher, Text& runtimeHome)
{
    TextList names;
    platform::registeredRuntimeNames(names);
    CandidateList candidates;
    for (size_t i = 0; i < names.count(); ++i) {
        const char* name = names.at(i).chars();
        Text versionText;
        if (!platform::registeredRuntimeVersion(name, versionText))
            continue;
        RuntimeCandidate candidate;
        candidate.version = parseVersion(versionText.chars(), 0);
        if (compareVersions(candidate.version, launcher.maximumVersion) > 0
            || compareVersions(candidate.version, launcher.minimumVersion) < 0)
            continue;
        if (!readRuntimeHome(name, candidate.home))
            continue;
        // A candidate that cannot get memory is left out, as one that is not there.
        (void)candidates.append(static_cast<RuntimeCandidate&&>(candidate));
    }
    size_t chosen = 0;
    if (!selectRuntime(launcher, candidates, chosen))
        return false;
    runtimeHome = candidates.at(chosen).home;
    return true;
}

void sortCandidates(CandidateList& candidates)
{
    // An exchange of neighbours only when the first is strictly lower keeps
    // equal versions in the order the registry gave them.
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (size_t i = 1; i < candidates.count(); ++i) {
            if (compareVersions(candidates.at(i - 1).version, candidates.at(i).version) < 0) {
                candidates.swap(i - 1, i);
                swapped = true;
            }
        }
    }
}

bool selectRuntime(const Launcher& launcher, CandidateList& candidates, size_t& chosen)
{
    if (candidates.count() == 0)
        return false;
    sortCandidates(candidates);
    const TextList& preferred = launcher.preferredVersions;
    for (size_t entry = 0; entry < preferred.count(); ++entry) {
        VersionNumber wanted = parseVersion(preferred.at(entry).chars(), 0);
        for (size_t i = 0; i < candidates.count(); ++i) {
            if (matchesPreferred(candidates.at(i).version, wanted)) {
                chosen = i;
                return true;
            }
        }
    }
    chosen = 0;
    return true;
}
