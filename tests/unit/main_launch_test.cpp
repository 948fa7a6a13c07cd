#include "jvm/java_command.h"
#include "jvm/main_arguments.h"
#include "jvm/main_thread.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

size_t stackSizeOf(std::initializer_list<const char*> options)
{
    TextList list;
    for (const char* option : options)
        EXPECT_TRUE(list.append(option));
    return requestedStackSize(list);
}

TEST(MainThread, StackSizeAsTheVmReadsXss)
{
    EXPECT_EQ(0u, stackSizeOf({ }));
    EXPECT_EQ(0u, stackSizeOf({ "-Xmx16m", "-XX:ThreadStackSize=4096" }));
    EXPECT_EQ(16u << 20, stackSizeOf({ "-Xss16m" }));
    EXPECT_EQ(16u << 20, stackSizeOf({ "-Xss16M" }));
    EXPECT_EQ(512u << 10, stackSizeOf({ "-Xss512k" }));
    EXPECT_EQ(size_t(1) << 30, stackSizeOf({ "-Xss1g" }));
    EXPECT_EQ(4096u, stackSizeOf({ "-Xss4096" }));
    // The last one counts, as for the VM; one it cannot read asks for nothing.
    EXPECT_EQ(64u << 20, stackSizeOf({ "-Xss1m", "-Dx=1", "-Xss64m" }));
    for (const char* unreadable : { "-Xss", "-Xssm", "-Xss16mb", "-Xss16x", "-Xss-1m", "-Xss99999999999999999999999k" })
        EXPECT_EQ(0u, stackSizeOf({ "-Xss16m", unreadable })) << unreadable;
}

TEST(JavaCommand, TheRunTargetThenTheArguments)
{
    TextList arguments;
    Text option;
    ASSERT_TRUE(javaCommandOption(Text("com.example.Main"), arguments, option));
    EXPECT_STREQ("-Dsun.java.command=com.example.Main", option.chars());
    for (const char* argument : { "a", "two words", "" })
        ASSERT_TRUE(arguments.append(argument));
    ASSERT_TRUE(javaCommandOption(Text("app/app.Main"), arguments, option));
    EXPECT_STREQ("-Dsun.java.command=app/app.Main a two words ", option.chars());
    AllocationFailures failures(0);
    Text unchanged;
    EXPECT_FALSE(javaCommandOption(Text("app"), arguments, unchanged));
}

std::vector<std::string> optionsAfter(std::initializer_list<const char*> parameters)
{
    LaunchSettings settings;
    for (const char* parameter : parameters)
        EXPECT_TRUE(settings.vmOptions.append(parameter));
    EXPECT_TRUE(settings.mainClassName.assign("app/Main", 8));
    TextList arguments;
    EXPECT_TRUE(arguments.append("a"));
    EXPECT_TRUE(addJavaCommandOption(settings, arguments));
    std::vector<std::string> options;
    for (size_t i = 0; i < settings.vmOptions.count(); ++i)
        options.push_back(settings.vmOptions.at(i).chars());
    return options;
}

TEST(JavaCommand, JavasOwnLauncherLastUnlessTheParametersNameOne)
{
    using Options = std::vector<std::string>;
    EXPECT_EQ((Options { "-Xmx1g", "-Dsun.java.command=app.Main a", "-Dsun.java.launcher=SUN_STANDARD" }),
              optionsAfter({ "-Xmx1g" }));
    EXPECT_EQ((Options { "-Dsun.java.launcher=mine", "-Dsun.java.command=app.Main a" }),
              optionsAfter({ "-Dsun.java.launcher=mine" }));
    EXPECT_EQ((Options { "-Dsun.java.command=Mine", "-Dsun.java.launcher=SUN_STANDARD" }),
              optionsAfter({ "-Dsun.java.command=Mine" }));
}

TEST(MainArguments, TheSettingsOwnFirstThenTheCommandLinesExactly)
{
    TextList fixed;
    ASSERT_TRUE(fixed.append("--main") && fixed.append("two words"));
    CommandLineArguments given;
    const char16_t units[] = { u'\u0141', u'x' };
    ASSERT_TRUE(given.append(Text("?x"), units, 2) && given.append(Text("plain")));
    CommandLineArguments joined;
    ASSERT_TRUE(joinMainArguments(fixed, given, joined));
    EXPECT_EQ((Items { "--main", "two words", "?x", "plain" }), itemsOf(joined.texts()));
    EXPECT_TRUE(joined.exact(0).isEmpty() && joined.exact(3).isEmpty());
    ASSERT_EQ(2u, joined.exact(2).length());
    EXPECT_EQ(u'\u0141', joined.exact(2).units()[0]);
}

}
