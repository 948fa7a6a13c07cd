#include "common/path_spelling.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PathSpelling, TakesTheFirstExactSpellingAndNeverALookAlike)
{
    struct Case { PathConversions exact; bool nameMayBeShortened; PathSpelling expected; };
    const Case cases[] = {
        { { true, true, true }, false, PathSpelling::Long },
        { { true, false, false }, true, PathSpelling::Long },
        { { false, true, true }, false, PathSpelling::ShortFolder },
        { { false, true, false }, true, PathSpelling::ShortFolder },
        { { false, false, true }, true, PathSpelling::Short },
        // The executable's own name outside the code page: its short name
        // would read another settings file.
        { { false, false, true }, false, PathSpelling::None },
        // Short names turned off: the long form's look-alike is never taken.
        { { false, false, false }, true, PathSpelling::None },
        { { false, false, false }, false, PathSpelling::None },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, choosePathSpelling(c.exact, c.nameMayBeShortened))
            << c.exact.longExact << c.exact.shortFolderExact << c.exact.shortExact << c.nameMayBeShortened;
}

std::string upTo(const char* path, size_t position, char separator = '\\')
{
    Text name;
    EXPECT_TRUE(pathUpToNameAt(textOf(path), position, separator, name));
    return std::string(name.chars(), name.length());
}

TEST(PathSpelling, NamesThePathUpToTheNameThatCannotBeRepresented)
{
    EXPECT_EQ("C:\\Users\\?ukasz", upTo("C:\\Users\\?ukasz\\App\\MyApp.exe", 9));
    EXPECT_EQ("C:\\Users\\Luk?sz", upTo("C:\\Users\\Luk?sz\\App\\MyApp.exe", 12));
    EXPECT_EQ("C:\\App\\?.exe", upTo("C:\\App\\?.exe", 7));
    EXPECT_EQ("/home/a/\xff\xfe", upTo("/home/a/\xff\xfe/bin/app", 8, '/'));
    EXPECT_EQ("C:\\App\\x.exe", upTo("C:\\App\\x.exe", 11)); // nothing wrong: the whole path
}

}
