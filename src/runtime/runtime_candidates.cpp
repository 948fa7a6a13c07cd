#include "runtime/runtime_candidates.h"

#include "common/text_scan.h"
#include "common/trace.h"
#include "platform/files.h"
#include "runtime/java_version.h"
#include "runtime/runtime_layout.h"

namespace {

const size_t kLibraryHeadersLimit = 4096;

// A vendor's record may name a Java 8 development kit, whose runtime is its jre\.
bool runtimeHomeOf(const platform::RuntimeRecord& record, Text& home)
{
    if (!home.assign(record.home.chars(), record.home.length()) || !endWithCharacter(home, platform::kPathSeparator))
        return false;
    if (record.kind != platform::RecordKind::Vendor)
        return true;
    Text jre;
    if (jre.assign(home) && jre.append(platform::kPrivateRuntimeSubdirectory) && hasJavaLibrary(jre))
        home = static_cast<Text&&>(jre);
    return true;
}

bool versionOf(const platform::RuntimeRecord& record, const Text& home, VersionNumber& version)
{
    Text text;
    switch (record.kind) {
    case platform::RecordKind::Registered:
        version = parseVersion(record.name.chars(), 0);
        trace("    version %s, from the subkey name", { formatVersion(version) });
        return true;
    case platform::RecordKind::Installed:
        if (!runtimeReleaseVersion(home, text)) {
            trace("    left out: no JAVA_VERSION in a release file");
            return false;
        }
        version = parseVersion(text.chars(), 0);
        break;
    case platform::RecordKind::Vendor:
        if (!runtimeReleaseVersion(record.home, text) && !runtimeReleaseVersion(home, text)) {
            version = javaVersion(record.name.chars());
            trace("    version %s, from the name \"%s\"", { formatVersion(version), record.name });
            return true;
        }
        version = javaVersion(text.chars());
        break;
    }
    trace("    version %s, from the release file (\"%s\")", { formatVersion(version), text });
    return true;
}

bool fitsThisProcess(const Text& library)
{
    Text head;
    if (!platform::readFileStart(library.chars(), kLibraryHeadersLimit, head))
        return true;
    LibraryProcessor processor = libraryProcessor(reinterpret_cast<const unsigned char*>(head.chars()), head.length());
    return !processor.isKnown() || processor == platform::kThisProcessor;
}

// A home that an earlier source gave is the same runtime; one source may give
// a home under several versions (1.8 and 1.8.0_392), which all stay.
bool isFromEarlierSource(const CandidateList& candidates, const RuntimeCandidate& candidate)
{
    for (size_t i = 0; i < candidates.count(); ++i)
        if (candidates.at(i).source != candidate.source
            && platform::samePath(candidates.at(i).home.chars(), candidate.home.chars()))
            return true;
    return false;
}

// Why a record's runtime cannot be a candidate, or null when it can.
const char* reasonToLeaveOut(const RuntimeRequirement& requirement, const CandidateList& candidates,
                             const RuntimeCandidate& candidate, const Text& library)
{
    if (!inRange(requirement, candidate.version))
        return "out of the range the settings ask for";
    if (library.isEmpty())
        return "no VM library under the home";
    if (!fitsThisProcess(library))
        return "its VM library is built for another processor";
    if (isFromEarlierSource(candidates, candidate))
        return "the same home as an earlier source's";
    return nullptr;
}

}

void collectCandidates(const platform::RuntimeRecords& records, const RuntimeRequirement& requirement,
                       CandidateList& candidates)
{
    for (size_t i = 0; i < records.count(); ++i) {
        const platform::RuntimeRecord& record = records.at(i);
        trace("  %s: home %s", { record.location, record.home });
        RuntimeCandidate candidate;
        candidate.source = record.source;
        if (!runtimeHomeOf(record, candidate.home) || !versionOf(record, candidate.home, candidate.version))
            continue;
        Text library = findJvmLibrary(candidate.home);
        if (const char* reason = reasonToLeaveOut(requirement, candidates, candidate, library)) {
            trace("    left out: %s", { reason });
            continue;
        }
        trace("    candidate: %s", { library });
        // A candidate that cannot get memory is left out, as one that is not there.
        (void)candidates.append(static_cast<RuntimeCandidate&&>(candidate));
    }
}
