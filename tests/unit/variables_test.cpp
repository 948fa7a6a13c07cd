#include "config/variables.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

const std::map<std::string, std::string> kSet = { { "HOME", "/home/u" }, { "EMPTY", "" }, { "P", "%HOME%" } };

bool lookUp(const char* name, Text& value, const void*)
{
    auto found = kSet.find(name);
    return found != kSet.end() && value.assign(found->second.data(), found->second.size());
}

TEST(Variables, ExpandAsExpandEnvironmentStringsDoes)
{
    const char* const cases[][2] = {
        { "%HOME%/lib/app.jar", "/home/u/lib/app.jar" }, { "a%EMPTY%b", "ab" },
        { "%UNSET%/x", "%UNSET%/x" }, { "%%", "%%" }, { "100%", "100%" }, { "%HOME", "%HOME" },
        { "%UNSET%HOME%", "%UNSET%HOME%" }, { "%HOME%%HOME%", "/home/u/home/u" }, { "%P%", "%HOME%" },
        { "x%HOME%y%UNSET", "x/home/uy%UNSET" }, { "", "" }, { "no names", "no names" },
        { "%home%", "%home%" }, { "% HOME %", "% HOME %" },
    };
    for (const auto& c : cases) {
        Text expanded = textOf("stale");
        ASSERT_TRUE(expandVariables(textOf(c[0]), lookUp, nullptr, expanded)) << c[0];
        EXPECT_STREQ(c[1], expanded.chars()) << c[0];
    }
    const Text text = textOf("%HOME%/lib");
    Text expanded;
    AllocationFailures failures(0);
    EXPECT_FALSE(expandVariables(text, lookUp, nullptr, expanded));
}

TEST(Variables, TheApplicationDirectoryHasNoTrailingSeparator)
{
    setenv("LAUNCHER_TEST_VARIABLE", "set", 1);
    const char* const cases[][3] = {
        { "/opt/my app/", "%APPDIR%/lib/a.jar:%LAUNCHER_TEST_VARIABLE%", "/opt/my app/lib/a.jar:set" },
        { "/", "%APPDIR%/lib", "/lib" }, { "", "[%APPDIR%]", "[]" },
    };
    for (const auto& c : cases) {
        Text expanded;
        ASSERT_TRUE(expandSettingVariables(textOf(c[1]), textOf(c[0]), expanded));
        EXPECT_STREQ(c[2], expanded.chars()) << c[0];
    }
    unsetenv("LAUNCHER_TEST_VARIABLE");
}

}
