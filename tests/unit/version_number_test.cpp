#include "runtime/version_number.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Components = std::array<int, 4>;

const int kOpen = 65535;
const int kLargest = 2147483647;

Components componentsOf(const VersionNumber& version)
{
    const int* c = version.components;
    return { c[0], c[1], c[2], c[3] };
}

TEST(VersionNumber, ParsesRunsOfDigitsAsComponents)
{
    struct Case { const char* text; int fill; Components expected; int count; };
    const Case cases[] = {
        { "1.4.2_05", 0, { 1, 4, 2, 5 }, 4 }, { "1.6.0_10-rc", 0, { 1, 6, 0, 10 }, 4 },
        { "1.5.0_06-b05", kOpen, { 1, 5, 0, 6 }, 4 }, { "1.4", 0, { 1, 4, 0, 0 }, 2 },
        { "1.4", kOpen, { 1, 4, kOpen, kOpen }, 2 }, { "jre 1.6", kOpen, { 1, 6, kOpen, kOpen }, 2 },
        { "007.1", 0, { 7, 1, 0, 0 }, 2 }, { "1..2", 0, { 1, 2, 0, 0 }, 2 },
        { "", kOpen, { 0, 0, 0, 0 }, 0 }, { "any", kOpen, { 0, 0, 0, 0 }, 0 },
        { "abc", 0, { 0, 0, 0, 0 }, 0 }, { "1.2147483647", 0, { 1, kLargest, 0, 0 }, 2 },
        { "1.2147483648", 0, { 1, kLargest, 0, 0 }, 2 },
        { "99999999999999999999999.3", 0, { kLargest, 3, 0, 0 }, 2 },
        { "1.000000000000000000005", 0, { 1, 5, 0, 0 }, 2 }, // leading zeros are no overflow
    };
    for (const Case& c : cases) {
        VersionNumber version = parseVersion(c.text, c.fill);
        EXPECT_EQ(c.expected, componentsOf(version)) << c.text;
        EXPECT_EQ(c.count, version.count) << c.text;
    }
}

TEST(VersionNumber, ParsesBoundsWhereAnyAndNoDigitsLeaveThemOpen)
{
    struct Case { const char* text; bool isMaximum; Components expected; int count; };
    const Case cases[] = {
        { "any", false, { 0, 0, 0, 0 }, 4 }, { "any", true, { kOpen, kOpen, kOpen, kOpen }, 4 },
        { "Any", false, { 0, 0, 0, 0 }, 0 }, { "Any", true, { kOpen, kOpen, kOpen, kOpen }, 4 },
        { "", false, { 0, 0, 0, 0 }, 0 }, { "", true, { kOpen, kOpen, kOpen, kOpen }, 4 },
        { "1.5", false, { 1, 5, 0, 0 }, 2 }, { "1.5", true, { 1, 5, kOpen, kOpen }, 2 },
    };
    for (const Case& c : cases) {
        VersionNumber version = parseVersionBound(c.text, c.isMaximum);
        EXPECT_EQ(c.expected, componentsOf(version)) << c.text << " " << c.isMaximum;
        EXPECT_EQ(c.count, version.count) << c.text << " " << c.isMaximum;
    }
}

TEST(VersionNumber, ComparesAndMatchesPreferredEntries)
{
    EXPECT_EQ(0, compareVersions(parseVersion("1.5", 0), parseVersion("1.5.0", 0)));
    EXPECT_EQ(1, compareVersions(parseVersion("1.10", 0), parseVersion("1.9", 0)));
    EXPECT_EQ(-1, compareVersions(parseVersion("1.9", 0), parseVersion("1.10", 0)));
    EXPECT_EQ(-1, compareVersions(parseVersion("1.5.0_06", 0), parseVersionBound("1.5", true)));
    EXPECT_EQ(1, compareVersions(parseVersion("1.6", 0), parseVersionBound("1.5", true)));

    struct Case { const char* installed; const char* entry; bool expected; };
    const Case cases[] = {
        { "1.5.0_06", "1.5.0", true }, { "1.5", "1.5.0", true }, { "1.5", "1.5.0_06", false },
        { "1.5.0_06", "1.5", true }, { "1.5.1", "1.5.0", false }, { "1.50", "1.5", false },
        { "1.5.0_06", "", false }, { "abc", "", true },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, matchesPreferred(parseVersion(c.installed, 0), parseVersion(c.entry, 0)))
            << c.installed << " / " << c.entry;
}

TEST(VersionNumber, FormatsVersionsAndTheRequirement)
{
    struct FormatCase { Components components; const char* expected; };
    const FormatCase formats[] = {
        { { 1, 4, 2, 5 }, "1.4.2.5" }, { { 1, 4, 0, 0 }, "1.4" }, { { 1, 5, kOpen, kOpen }, "1.5" },
        { { 1, 0, 0, 6 }, "1.0.0.6" }, { { 1, kOpen, 2, 0 }, "1.65535.2" },
        { { 0, 0, 0, 0 }, "0.0.0.0" }, { { kOpen, kOpen, kOpen, kOpen }, "0.0.0.0" },
        { { kLargest, 1, 0, 0 }, "2147483647.1" },
    };
    for (const FormatCase& c : formats) {
        VersionNumber version;
        for (int i = 0; i < 4; ++i)
            version.components[i] = c.components[i];
        EXPECT_STREQ(c.expected, formatVersion(version).chars());
    }

    struct RequirementCase { const char* minimum; const char* maximum; const char* expected; };
    const RequirementCase requirements[] = {
        { "any", "any", "latest version" }, { "", "", "latest version" },
        { "Any", "", "latest version" }, { "1.4", "any", "minimum 1.4" },
        { "1.4", "", "minimum 1.4" }, { "any", "1.5", "maximum 1.5" },
        { "1.4", "1.5", "between 1.4 and 1.5" }, { "1.5", "1.5", "between 1.5 and 1.5" },
        { "1.5.0.6", "1.5.0_06", "version 1.5.0.6 is required" },
    };
    for (const RequirementCase& c : requirements)
        EXPECT_STREQ(c.expected, requirementText(parseVersionBound(c.minimum, false),
                                                 parseVersionBound(c.maximum, true)).chars())
            << c.minimum << " / " << c.maximum;
}

}
