#include "config/ini_value.h"
#include "platform/posix/profile_reader.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

const char kSettings[] =
    "\xEF\xBB\xBF[Class Path]\n"
    "  class PATH  =  lib/app.jar:lib/util.jar  \n"
    "[java runtime environment]\n"
    "\tMain Class\t=\t\"com.example.app.Main\"\t\n"
    "Minimum Version='1.5'\n"
    "Maximum Version=\"1.6'\n"
    "Preferred versions=\"\"\n"
    "Virtual Machine Parameters = \"-Da=\"b\"\"\n"
    "Quoted Blanks = ' a b '\n"
    "Lone Quote=\"\n"
    "Repeated=first\n"
    "Repeated=second\n"
    "Hidden\n"
    "Hidden=value\n"
    "[Display]\n"
    "Splash Screen Shadow=true\n"
    "[DISPLAY]\n"
    "Splash Screen=later.bmp\n"
    "Splash Screen Shadow=false";

TEST(ProfileReader, FindsValuesAsTheWindowsReaderDoes)
{
    struct Case { const char* section; const char* key; const char* expected; };
    const Case cases[] = {
        { "CLASS PATH", "class path", "lib/app.jar:lib/util.jar" },
        { "Java Runtime Environment", "Main Class", "com.example.app.Main" },
        { "Java Runtime Environment", "Minimum Version", "1.5" },
        { "Java Runtime Environment", "Maximum Version", "\"1.6'" },
        { "Java Runtime Environment", "Preferred versions", "" },
        { "Java Runtime Environment", "Virtual Machine Parameters", "-Da=\"b\"" },
        { "Java Runtime Environment", "Quoted Blanks", " a b " },
        { "Java Runtime Environment", "Lone Quote", "\"" },
        { "Java Runtime Environment", "Repeated", "first" },
        { "Java Runtime Environment", "Hidden", "" },
        { "Java Runtime Environment", "Missing", "" },
        { "Display", "Splash Screen Shadow", "true" },
        { "Display", "Splash Screen", "" }, // only the first section of a name counts
        { "Display", "Main Class", "" },
        { "Missing", "Main Class", "" },
    };
    for (const char* lineEnd : { "\n", "\r\n" }) {
        std::string contents;
        for (const char* p = kSettings; *p; ++p)
            contents += *p == '\n' ? std::string(lineEnd) : std::string(1, *p);
        for (const Case& c : cases) {
            Text value = textOf("stale");
            findProfileValue(contents.data(), contents.size(), c.section, c.key, value);
            EXPECT_STREQ(c.expected, value.chars()) << c.key << (lineEnd[1] ? " CRLF" : " LF");
        }
    }
}

// Measured against Windows' reader: names and values are C strings, cut at a
// NUL after the line has been split and trimmed, before quotes are removed.
TEST(ProfileReader, EndsNamesAndValuesAtANul)
{
    const std::string contents("[S]\r\na=ab\0cd\r\nb=\"ab\0cd\"\r\nc= x \0y \r\nd=\0abc\r\n"
                               "e=\"x\"\0\"y\"\r\nk\0z=5\r\n[T\0U]\r\ng=1\r\n", 73);
    const char* const cases[][3] = {
        { "S", "a", "ab" }, { "S", "b", "\"ab" }, { "S", "c", "x " }, { "S", "d", "" },
        { "S", "e", "x" }, { "S", "k", "5" }, { "T", "g", "1" }, { "T U", "g", "" },
    };
    for (const auto& c : cases) {
        Text value;
        ASSERT_TRUE(findProfileValue(contents.data(), contents.size(), c[0], c[1], value));
        EXPECT_EQ(std::string(c[2]), std::string(value.chars(), value.length())) << c[1];
    }
}

// GetPrivateProfileSectionA under Wine gives the same (see
// tests/windows/test_profile_reader.py): every key of the first section of
// the name in file order, repeated ones too, without comment lines.
TEST(ProfileReader, EnumeratesASectionsKeysInFileOrder)
{
    const char contents[] = "\xEF\xBB\xBF[Environment]\r\n"
                            "PATH=/opt/app/native:%PATH%\r\n"
                            "; a comment\r\n"
                            "  MYAPP_HOME = \"%APPDIR%\" \r\n"
                            "EMPTY=\r\n"
                            "NOVALUE\r\n"
                            "=nameless\r\n"
                            "A=1\r\n"
                            "a=2\r\n"
                            "[Other]\r\n"
                            "B=3\r\n"
                            "[ENVIRONMENT]\r\n"
                            "C=4\r\n";
    TextList names;
    TextList values;
    ASSERT_TRUE(findProfileSection(contents, sizeof contents - 1, "environment", names, values));
    EXPECT_EQ((Items{ "PATH", "MYAPP_HOME", "EMPTY", "NOVALUE", "", "A", "a" }), itemsOf(names));
    EXPECT_EQ((Items{ "/opt/app/native:%PATH%", "%APPDIR%", "", "", "nameless", "1", "2" }), itemsOf(values));

    TextList none;
    TextList noValues;
    ASSERT_TRUE(findProfileSection(contents, sizeof contents - 1, "Missing", none, noValues));
    EXPECT_EQ(0u, none.count());
    AllocationFailures failures(0);
    EXPECT_FALSE(findProfileSection(contents, sizeof contents - 1, "Other", none, noValues));
}

TEST(ProfileReader, CopiesAsMuchAsTheBufferHoldsAndReadsLongValuesWhole)
{
    const size_t sizes[][2] = { { 16, 6 }, { 7, 6 }, { 6, 5 }, { 2, 1 }, { 1, 0 } };
    for (const auto& size : sizes) {
        char buffer[16] = "xxxxxxxxxxxxxxx";
        EXPECT_EQ(size[1], copyProfileValue(textOf("abcdef"), buffer, size[0])) << size[0];
        EXPECT_EQ(std::string("abcdef", size[1]), buffer) << size[0];
    }
    char untouched[2] = "x";
    EXPECT_EQ(0u, copyProfileValue(textOf("abcdef"), untouched, 0));
    EXPECT_STREQ("x", untouched);

    const std::string path = testing::TempDir() + "profile_reader_test.ini";
    const std::string exact(255, 'e'), longer = std::string(300, 'l') + "end";
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    std::fprintf(file, "[A]\r\nExact=%s\r\nLonger=%s\r\n", exact.c_str(), longer.c_str());
    std::fclose(file);
    EXPECT_EQ(exact, readIniValue(path.c_str(), "A", "Exact").chars());
    EXPECT_EQ(longer, readIniValue(path.c_str(), "a", "longer").chars());
    std::remove(path.c_str());
    EXPECT_STREQ("", readIniValue(path.c_str(), "A", "Exact").chars());
}

}
