#include "runtime/runtime_choice.h"

#include "common/trace.h"

bool inRange(const RuntimeRequirement& requirement, const VersionNumber& version)
{
    return compareVersions(version, requirement.maximum) <= 0 && compareVersions(version, requirement.minimum) >= 0;
}

void sortCandidates(CandidateList& candidates)
{
    // An exchange of neighbours only when the first is strictly lower keeps
    // equal versions in the order they were found.
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

bool selectRuntime(const RuntimeRequirement& requirement, CandidateList& candidates, size_t& chosen)
{
    if (candidates.count() == 0) {
        trace("choice: none, no runtime found is in range");
        return false;
    }
    sortCandidates(candidates);
    const TextList& preferred = requirement.preferred;
    for (size_t entry = 0; entry < preferred.count(); ++entry) {
        VersionNumber wanted = parseVersion(preferred.at(entry).chars(), 0);
        for (size_t i = 0; i < candidates.count(); ++i) {
            if (matchesPreferred(candidates.at(i).version, wanted)) {
                chosen = i;
                trace("choice: %s, version %s: the highest runtime of preferred version \"%s\"",
                      { candidates.at(i).home, formatVersion(candidates.at(i).version), preferred.at(entry) });
                return true;
            }
        }
    }
    chosen = 0;
    trace("choice: %s, version %s: the highest version in range (no preferred version matched)",
          { candidates.at(0).home, formatVersion(candidates.at(0).version) });
    return true;
}
