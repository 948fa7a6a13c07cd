#include "config/environment_settings.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

void fill(TextList& list, const Items& items)
{
    for (const std::string& item : items)
        EXPECT_TRUE(list.append(item.data(), item.size()));
}

std::string variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "(not set)";
}

TEST(EnvironmentSettings, SetsEachVariableInOrderExpandedAgainstTheEarlierLines)
{
    setenv("LAUNCHER_TEST_GONE", "there", 1);
    setenv("LAUNCHER_TEST_BASE", "/usr/bin", 1);
    TextList names;
    TextList values;
    fill(names, { "LAUNCHER_TEST_BASE", "LAUNCHER_TEST_HOME", "LAUNCHER_TEST_GONE", "LAUNCHER_TEST_BASE",
                  "LAUNCHER_TEST_UNSET" });
    fill(values, { "%APPDIR%/native:%LAUNCHER_TEST_BASE%", "%APPDIR%", "", "%LAUNCHER_TEST_BASE%:x",
                   "%LAUNCHER_TEST_NEVER%" });
    Failure failure;
    ASSERT_TRUE(applyEnvironment(names, values, textOf("/opt/app/"), failure));
    EXPECT_EQ("/opt/app/native:/usr/bin:x", variable("LAUNCHER_TEST_BASE"));
    EXPECT_EQ("/opt/app", variable("LAUNCHER_TEST_HOME"));
    EXPECT_EQ("(not set)", variable("LAUNCHER_TEST_GONE"));
    EXPECT_EQ("%LAUNCHER_TEST_NEVER%", variable("LAUNCHER_TEST_UNSET"));
    EXPECT_FALSE(failure.hasMessage());
}

TEST(EnvironmentSettings, StopsAtALineThatNamesNoVariable)
{
    struct Case {
        const char* name;
        const char* format;
        const char* message;
    };
    const Case cases[] = {
        { "", kNamelessVariableFormat,
          "A line of [Environment] names no variable: =value" },
        { "A=B", kVariableNotSetFormat,
          "The variable A=B of [Environment] cannot be set." },
    };
    for (const Case& c : cases) {
        unsetenv("LAUNCHER_TEST_AFTER");
        TextList names;
        TextList values;
        fill(names, { c.name, "LAUNCHER_TEST_AFTER" });
        fill(values, { "value", "1" });
        Failure failure;
        EXPECT_FALSE(applyEnvironment(names, values, textOf("/opt/app/"), failure));
        EXPECT_EQ(c.format, failure.format);
        EXPECT_STREQ(c.message, failure.text());
        EXPECT_EQ("(not set)", variable("LAUNCHER_TEST_AFTER")) << "nothing after the line is set";
    }
}

}
