#include "common/path_parts.h"
#include "common/text_scan.h"
#include "config/settings_path.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

TEST(SettingsPath, DerivesTheSettingsFileFromTheExecutablePath)
{
    Text iniPath;
    ASSERT_TRUE(iniPathAfterLastDot(Text("D:\\Apps\\tool.exe"), iniPath));
    EXPECT_STREQ("D:\\Apps\\tool.ini", iniPath.chars());
    ASSERT_TRUE(iniPathAfterLastDot(Text("D:\\Apps\\my.tools\\run"), iniPath));
    EXPECT_STREQ("D:\\Apps\\my.ini", iniPath.chars());
    EXPECT_FALSE(iniPathAfterLastDot(Text("D:\\Apps\\run"), iniPath));

    const char* const linuxCases[][2] = {
        { "/opt/app/run", "/opt/app/run.ini" }, { "/opt/my.d/run", "/opt/my.d/run.ini" },
        { "/opt/app/tool.bin", "/opt/app/tool.ini" }, { "/opt/a/t.tar.gz", "/opt/a/t.tar.ini" },
        { "run", "run.ini" },
    };
    for (const auto& c : linuxCases) {
        ASSERT_TRUE(iniPathForFileName(Text(c[0]), iniPath)) << c[0];
        EXPECT_STREQ(c[1], iniPath.chars()) << c[0];
    }

    EXPECT_STREQ("D:\\Apps\\", directoryOfPath(Text("D:\\Apps\\tool.exe"), '\\').chars());
    EXPECT_STREQ("", directoryOfPath(Text("tool.exe"), '\\').chars());
    EXPECT_STREQ("/opt/app/", directoryOfPath(Text("/opt/app/run"), '/').chars());
    EXPECT_STREQ("/", directoryOfPath(Text("/run"), '/').chars());
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
    const Text inName(("D:\\" + character + "run.exe").c_str());
    EXPECT_EQ(2u, findLastCharacter(inName, '\\'));
    EXPECT_EQ(kNotFound, findCharacter(inName, '\\', 3));
    EXPECT_STREQ("D:\\", directoryOfPath(inName, '\\').chars());
    const Text atEnd(("D:\\Apps\\" + character).c_str());
    EXPECT_STREQ("D:\\Apps\\", directoryOfPath(atEnd, '\\').chars());
}

}
