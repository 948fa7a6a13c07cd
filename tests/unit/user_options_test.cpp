#include "config/user_options.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

void fill(TextList& list, const Items& items)
{
    for (const std::string& item : items)
        ASSERT_TRUE(list.append(item.data(), item.size()));
}

const char kRestores[] = " Removing the file restores the application's own options.";

TEST(UserOptions, ComeAfterTheParametersAndOverrideWhatCountsOnce)
{
    JavaOptions options;
    fill(options.vmOptions, { "-Xmx64m", "-Dx=shipped" });
    options.hasClassPath = true;
    options.classPath = textOf("shipped.jar");
    options.vmLibraryKind = textOf("client");
    options.splashPath = textOf("shipped.gif");
    TextList items;
    fill(items, { "-mx256m", "--add-opens", "java.base/java.lang=ALL-UNNAMED", "-Dx=user", "-cp", "user.jar",
                  "-server", "-splash:user.png" });
    Failure failure;
    ASSERT_TRUE(takeUserOptions("/home/u/.options", items, options, failure));
    EXPECT_EQ((Items{ "-Xmx64m", "-Dx=shipped", "-Xmx256m", "--add-opens=java.base/java.lang=ALL-UNNAMED",
                      "-Dx=user" }),
              itemsOf(options.vmOptions));
    EXPECT_STREQ("user.jar", options.classPath.chars());
    EXPECT_STREQ("server", options.vmLibraryKind.chars());
    EXPECT_STREQ("user.png", options.splashPath.chars());

    TextList noChoices;
    fill(noChoices, { "-Dy=1" });
    ASSERT_TRUE(takeUserOptions("/home/u/.options", noChoices, options, failure));
    EXPECT_STREQ("user.jar", options.classPath.chars());
    EXPECT_STREQ("server", options.vmLibraryKind.chars());
    EXPECT_STREQ("user.png", options.splashPath.chars());
}

TEST(UserOptions, WhatTheParametersWouldRefuseIsNamedWithTheFile)
{
    const char* const cases[][2] = {
        { "@/home/u/.options", "It names @/home/u/.options: no argument file names another." },
        { "@@text", "It names @@text: no argument file names another." },
        { "--module-path", "The option --module-path needs a value after it." },
        { "--list-modules", "The option --list-modules is one of the java command's own and has no meaning here." },
        { "-m", "The option -m cannot name the main module: use the setting Main Module." },
        { "-jar", "The option -jar cannot name the main JAR: put the JAR in Class Path." },
    };
    for (const auto& c : cases) {
        JavaOptions options;
        TextList items;
        fill(items, { "-Dx=1", c[0] });
        Failure failure;
        EXPECT_FALSE(takeUserOptions("/home/u/.options", items, options, failure)) << c[0];
        EXPECT_EQ(kUserOptionsFormat, failure.format);
        EXPECT_EQ(std::string("The user options file /home/u/.options cannot be taken. ") + c[1] + kRestores,
                  failure.text());
    }
}

TEST(UserOptions, AFileIsReadAsAnArgumentFileUpToItsLimit)
{
    const std::string path = testing::TempDir() + "user_options_test.options";
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    std::fputs("# the user's\n-Xmx1g \"-Dname=two words\"\n", file);
    std::fclose(file);
    TextList items;
    Failure failure;
    ASSERT_TRUE(readUserOptionsFile(path.c_str(), items, failure));
    EXPECT_EQ((Items{ "-Xmx1g", "-Dname=two words" }), itemsOf(items));

    file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    const std::string comments(kLargestUserOptionsFile, '#');
    std::fwrite(comments.data(), 1, comments.size(), file);
    std::fclose(file);
    ASSERT_TRUE(readUserOptionsFile(path.c_str(), items, failure)) << "exactly the limit";
    file = std::fopen(path.c_str(), "ab");
    std::fputc('\n', file);
    std::fclose(file);
    EXPECT_FALSE(readUserOptionsFile(path.c_str(), items, failure));
    EXPECT_EQ("The user options file " + path + " is larger than 1048576 bytes." + kRestores, failure.text());

    std::remove(path.c_str());
    EXPECT_FALSE(readUserOptionsFile(path.c_str(), items, failure));
    EXPECT_EQ("The user options file " + path + " cannot be read." + kRestores, failure.text());
}

}
