#include "common/argument_splitting.h"
#include "runtime/runtime_choice.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

// Candidates in the order the system listed them, each home named after its version.
void addCandidates(CandidateList& candidates, const std::vector<const char*>& versions)
{
    for (const char* name : versions) {
        RuntimeCandidate candidate;
        candidate.version = parseVersion(name, 0);
        candidate.home = textOf(name);
        ASSERT_TRUE(candidates.append(static_cast<RuntimeCandidate&&>(candidate)));
    }
}

TEST(RuntimeChoice, SortsHighestFirstKeepingEqualVersionsInOrder)
{
    CandidateList candidates;
    addCandidates(candidates, { "1.4", "1.5.0", "1.10", "1.5", "1.9", "1.5.0.0" });
    sortCandidates(candidates);
    Items homes;
    for (size_t i = 0; i < candidates.count(); ++i)
        homes.push_back(candidates.at(i).home.chars());
    EXPECT_EQ((Items{ "1.10", "1.9", "1.5.0", "1.5", "1.5.0.0", "1.4" }), homes);
}

TEST(RuntimeChoice, PicksByTheFirstPreferredEntryThatMatches)
{
    const std::vector<const char*> registered = { "1.4.2_05", "1.5.0_06", "1.6.0_10" };
    struct Case { std::vector<const char*> versions; const char* preferred; const char* expected; };
    const Case cases[] = {
        { registered, "", "1.6.0_10" },
        { registered, "1.5;1.6", "1.5.0_06" },
        { registered, "1.7;1.6", "1.6.0_10" },
        { registered, "1.5; 1.6", "1.5.0_06" },
        { registered, "1.7; 1.4", "1.4.2_05" },
        { { "1.4.2_05", "1.5" }, "1.5.0_06", "1.5" },
        { { "1.5", "1.4.2_05" }, "1.5.0_06;1.4", "1.4.2_05" },
        { { "1.5.0_06", "1.6", "1.5.0_10" }, "1.5", "1.5.0_10" },
        { { "1.4", "1.5", "1.5.0" }, "", "1.5" },
        { { "1.4", "1.5.0", "1.5" }, "1.7", "1.5.0" },
        { { "1.5.0", "1.6", "1.5" }, "1.5", "1.5.0" },
        { { "1.6", "none" }, "", "none" }, // the one empty entry matches 0.0.0.0 only
        { {}, "1.6", "(none)" },
    };
    for (const Case& c : cases) {
        TextList preferred;
        ASSERT_TRUE(splitAtSeparator(preferred, textOf(c.preferred), textOf(";")));
        RuntimeRequirement requirement = { parseVersionBound("any", false), parseVersionBound("any", true), preferred };
        CandidateList candidates;
        addCandidates(candidates, c.versions);
        size_t chosen = 0;
        bool found = selectRuntime(requirement, candidates, chosen);
        EXPECT_STREQ(c.expected, found ? candidates.at(chosen).home.chars() : "(none)")
            << "preferred " << c.preferred;
    }
}

}
