#include "runtime/runtime_candidates.h"

#include "common/text_scan.h"
#include "common/trace.h"
#include "platform/files.h"
#include "runtime/java_version.h"
#include "runtime/runtime_layout.h"

namespace {

const char kSameHome[] = "the same home as an earlier source's";
const char kPassedOverFormat[] = "Java %s in %s: %s";

// A vendor's record may name a Java 8 development kit, whose runtime is its
// jre\: then `inKit` is set.
bool runtimeHomeOf(const platform::RuntimeRecord& record, Text& home, bool& inKit)
{
    inKit = false;
    if (!home.assign(record.home.chars(), record.home.length()) || !endWithCharacter(home, platform::kPathSeparator))
        return false;
    if (record.kind != platform::RecordKind::Vendor)
        return true;
    Text jre;
    inKit = jre.assign(home) && jre.append(platform::kPrivateRuntimeSubdirectory) && hasJavaLibrary(jre);
    if (inKit)
        home = static_cast<Text&&>(jre);
    return true;
}

// The version the choice goes by, and the version text of the home's own
// release file, each file read once. A kit's release file names the version
// of the runtime in its jre\ before that runtime's own does.
bool readVersion(const platform::RuntimeRecord& record, bool inKit, RuntimeCandidate& candidate)
{
    bool released = runtimeReleaseVersion(candidate.home, candidate.versionText);
    Text kitText;
    const Text* text = &candidate.versionText;
    switch (record.kind) {
    case platform::RecordKind::Registered:
        candidate.version = parseVersion(record.name.chars(), 0);
        trace("    version %s, from the subkey name", { formatVersion(candidate.version) });
        return true;
    case platform::RecordKind::Installed:
        if (!released) {
            trace("    left out: no JAVA_VERSION in a release file");
            return false;
        }
        candidate.version = parseVersion(text->chars(), 0);
        break;
    case platform::RecordKind::Vendor:
        if (inKit && runtimeReleaseVersion(record.home, kitText))
            text = &kitText;
        else if (!released) {
            candidate.version = javaVersion(record.name.chars());
            trace("    version %s, from the name \"%s\"", { formatVersion(candidate.version), record.name });
            return true;
        }
        candidate.version = javaVersion(text->chars());
        break;
    }
    trace("    version %s, from the release file (\"%s\")", { formatVersion(candidate.version), *text });
    return true;
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
                             const RuntimeCandidate& candidate, VmLibraryFit library)
{
    if (!inRange(requirement, candidate.version))
        return "out of the range the settings ask for";
    if (library == VmLibraryFit::Missing)
        return "no VM library under the home";
    if (library == VmLibraryFit::OtherProcessor)
        return "its VM library is built for another processor";
    if (isFromEarlierSource(candidates, candidate))
        return kSameHome;
    return nullptr;
}

// Each line once (two sources may give one home); a line that cannot get
// memory is left out of the list, which only tells.
void passOver(TextList& passedOver, const RuntimeCandidate& candidate, const char* reason)
{
    Text version = formatVersion(candidate.version);
    const FormatValue values[] = { version, candidate.home, reason };
    Text line = formatMessage(kPassedOverFormat, values, 3);
    for (size_t i = 0; i < passedOver.count(); ++i)
        if (passedOver.at(i).equals(line.chars()))
            return;
    (void)passedOver.append(line);
}

}

void collectCandidates(const platform::RuntimeRecords& records, const RuntimeRequirement& requirement,
                       CandidateList& candidates, TextList& passedOver)
{
    for (size_t i = 0; i < records.count(); ++i) {
        const platform::RuntimeRecord& record = records.at(i);
        trace("  %s: home %s", { record.location, record.home });
        RuntimeCandidate candidate;
        candidate.source = record.source;
        // A folder without a release file is no runtime the user would know.
        bool inKit = false;
        if (!runtimeHomeOf(record, candidate.home, inKit) || !readVersion(record, inKit, candidate))
            continue;
        VmLibraryFit library = findVmLibrary(requirement.vmLibraryKind, candidate);
        if (const char* reason = reasonToLeaveOut(requirement, candidates, candidate, library)) {
            trace("    left out: %s", { reason });
            if (reason != kSameHome)
                passOver(passedOver, candidate, reason);
            continue;
        }
        trace("    candidate: %s", { candidate.vmLibraryPath });
        // A candidate that cannot get memory is left out, as one that is not there.
        (void)candidates.append(static_cast<RuntimeCandidate&&>(candidate));
    }
}
