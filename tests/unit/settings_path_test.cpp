#include "common/path_parts.h"
#include "common/text_scan.h"
#include "config/settings_path.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

std::string directoryOf(const Text& path, char separator)
{
    Text directory;
    EXPECT_TRUE(directoryOfPath(path, separator, directory));
    return directory.chars();
}

std::string nameOf(const char* path, char separator)
{
    Text name;
    EXPECT_TRUE(nameWithoutExtension(textOf(path), separator, name));
    return name.chars();
}

TEST(SettingsPath, DerivesTheSettingsFileFromTheExecutablePath)
{
    Text iniPath;
    ASSERT_TRUE(iniPathAfterLastDot(textOf("D:\\Apps\\tool.exe"), iniPath));
    EXPECT_STREQ("D:\\Apps\\tool.ini", iniPath.chars());
    ASSERT_TRUE(iniPathAfterLastDot(textOf("D:\\Apps\\my.tools\\run"), iniPath));
    EXPECT_STREQ("D:\\Apps\\my.ini", iniPath.chars());
    EXPECT_FALSE(iniPathAfterLastDot(textOf("D:\\Apps\\run"), iniPath));

    const char* const linuxCases[][2] = {
        { "/opt/app/run", "/opt/app/run.ini" }, { "/opt/my.d/run", "/opt/my.d/run.ini" },
        { "/opt/app/tool.bin", "/opt/app/tool.ini" }, { "/opt/a/t.tar.gz", "/opt/a/t.tar.ini" },
        { "run", "run.ini" },
    };
    for (const auto& c : linuxCases) {
        ASSERT_TRUE(iniPathForFileName(textOf(c[0]), iniPath)) << c[0];
        EXPECT_STREQ(c[1], iniPath.chars()) << c[0];
    }

    EXPECT_EQ("D:\\Apps\\", directoryOf(textOf("D:\\Apps\\tool.exe"), '\\'));
    EXPECT_EQ("", directoryOf(textOf("tool.exe"), '\\'));
    EXPECT_EQ("/opt/app/", directoryOf(textOf("/opt/app/run"), '/'));
    EXPECT_EQ("/", directoryOf(textOf("/run"), '/'));
    EXPECT_EQ("MyApp", nameOf("D:\\Apps\\MyApp.exe", '\\'));
    EXPECT_EQ("run", nameOf("/opt/my.d/run", '/'));
    EXPECT_EQ("t.tar", nameOf("t.tar.gz", '/'));
}

// A part that cannot get memory is never a shorter path: the call says so.
TEST(PathParts, APartWithoutMemoryIsAFailureNotAnotherPath)
{
    const Text path = textOf("/opt/application/the-application-s-name.bin");
    Text directory = textOf("stale");
    Text name = textOf("stale");
    {
        AllocationFailures failures(0);
        EXPECT_FALSE(directoryOfPath(path, '/', directory));
        EXPECT_FALSE(nameWithoutExtension(path, '/', name));
    }
    EXPECT_STREQ("stale", directory.chars());
    EXPECT_STREQ("stale", name.chars());

    // The part may be taken from the path in place, which needs no memory.
    Text inPlace = textOf("/opt/app/lib/server/libjvm.so");
    {
        AllocationFailures failures(0);
        ASSERT_TRUE(directoryOfPath(inPlace, '/', inPlace));
        inPlace.truncate(inPlace.length() - 1);
        ASSERT_TRUE(directoryOfPath(inPlace, '/', inPlace));
    }
    EXPECT_STREQ("/opt/app/lib/", inPlace.chars());
}

// The first double-byte locale the system has, for the character type; "C" again at the end.
struct DoubleByteLocale {
    DoubleByteLocale()
    {
        // A character of each whose second byte is a backslash: 表 and 誠.
        const char* const candidates[][2] = {
            { "ja_JP.SJIS", "\x95\x5c" }, { "ja_JP.sjis", "\x95\x5c" },
            { "zh_CN.GBK", "\xd5\x5c" }, { "zh_CN.gbk", "\xd5\x5c" },
        };
        for (const auto& candidate : candidates)
            if (!character && setlocale(LC_CTYPE, candidate[0]))
                character = candidate[1];
    }
    ~DoubleByteLocale() { setlocale(LC_CTYPE, "C"); }

    const char* character = nullptr;
};

TEST(SettingsPath, NeverSplitsADoubleByteCharacter)
{
    DoubleByteLocale locale;
    if (!locale.character)
        GTEST_SKIP() << "no Shift_JIS or GBK locale on this system";
    const std::string character = locale.character;
    const Text inName = textOf(("D:\\" + character + "run.exe").c_str());
    EXPECT_EQ(2u, findLastCharacter(inName, '\\'));
    EXPECT_EQ(kNotFound, findCharacter(inName, '\\', 3));
    EXPECT_EQ("D:\\", directoryOf(inName, '\\'));
    const Text atEnd = textOf(("D:\\Apps\\" + character).c_str());
    EXPECT_EQ("D:\\Apps\\", directoryOf(atEnd, '\\'));
}

}
