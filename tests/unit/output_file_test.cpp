#include "test_support.h"
#include "common/folder_chain.h"
#include "common/output_cap.h"
#include "config/output_file_settings.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

TEST(OutputCap, TakesUpToTwiceTheLimitThenSaysSoOnce)
{
    OutputCap cap(1500, 4000, textOf("stop\n"));
    EXPECT_EQ(1000u, cap.allow(1000));
    EXPECT_FALSE(cap.reachedNow());
    EXPECT_EQ(1500u, cap.allow(2000)) << "cut at the cap";
    EXPECT_TRUE(cap.reachedNow());
    EXPECT_FALSE(cap.reachedNow()) << "the line is written once";
    EXPECT_EQ(0u, cap.allow(10));
    EXPECT_FALSE(cap.reachedNow());
    EXPECT_STREQ("stop\n", cap.stopLine().chars());

    OutputCap exactly(0, 10, textOf("stop\n"));
    EXPECT_EQ(10u, exactly.allow(10));
    EXPECT_TRUE(exactly.reachedNow()) << "the file holds twice the limit: nothing more fits";

    OutputCap overAlready(5000, 4000, textOf("stop\n"));
    EXPECT_EQ(0u, overAlready.allow(1));
    EXPECT_TRUE(overAlready.reachedNow());
}

TEST(OutputFileSettings, TheLimitIsDigitsOnly)
{
    const struct {
        const char* text;
        unsigned long long limit;
    } taken[] = { { "1", 1 }, { "10485760", 10485760 }, { "0010", 10 }, { "999999999999999999", 999999999999999999 } };
    for (const auto& c : taken) {
        unsigned long long limit = 7;
        EXPECT_TRUE(parseOutputFileLimit(textOf(c.text), limit)) << c.text;
        EXPECT_EQ(c.limit, limit);
    }
    for (const char* refused : { "", "0", "000", "10M", " 10", "-1", "+5", "1e6", "0x10", "1000000000000000000",
                                 "99999999999999999999999" }) {
        unsigned long long limit = 7;
        EXPECT_FALSE(parseOutputFileLimit(textOf(refused), limit)) << refused;
        EXPECT_EQ(7u, limit);
    }
}

// The folders of a fake file system: those there, and those made, in order.
std::set<std::string> present;
std::vector<std::string> made;
std::string refused;

bool isFolder(const char* path)
{
    return present.count(path) > 0;
}

bool makeFolder(const char* path)
{
    if (refused == path || !present.count(std::string(path).substr(0, std::string(path).find_last_of("/\\"))))
        return false;
    made.push_back(path);
    present.insert(path);
    return true;
}

TEST(FolderChain, MakesTheMissingFoldersFromTheDeepestThere)
{
    const FolderOperations operations = { isFolder, makeFolder };
    struct Case {
        const char* path;
        char separator;
        std::set<std::string> there;
        std::vector<std::string> made;
    };
    const Case cases[] = {
        { "C:\\Users\\u\\AppData\\Local\\MyApp\\logs\\output.log", '\\', { "C:", "C:\\Users", "C:\\Users\\u",
          "C:\\Users\\u\\AppData", "C:\\Users\\u\\AppData\\Local" },
          { "C:\\Users\\u\\AppData\\Local\\MyApp", "C:\\Users\\u\\AppData\\Local\\MyApp\\logs" } },
        { "\\\\server\\share\\logs\\output.log", '\\', { "\\\\server", "\\\\server\\share" },
          { "\\\\server\\share\\logs" } },
        { "/home/u/.local/state/myapp/output.log", '/', { "/home", "/home/u" },
          { "/home/u/.local", "/home/u/.local/state", "/home/u/.local/state/myapp" } },
        { "/var/log/output.log", '/', { "/var", "/var/log" }, {} },
        { "output.log", '/', {}, {} },
    };
    for (const Case& c : cases) {
        present = c.there;
        present.insert("");
        made.clear();
        EXPECT_TRUE(makeFoldersOf(textOf(c.path), c.separator, operations)) << c.path;
        EXPECT_EQ(c.made, made) << c.path;
    }

    present = { "", "/home", "/home/u" };
    made.clear();
    refused = "/home/u/.local/state";
    EXPECT_FALSE(makeFoldersOf(textOf("/home/u/.local/state/myapp/output.log"), '/', operations));
    EXPECT_EQ(std::vector<std::string>{ "/home/u/.local" }, made) << "nothing after the folder refused";
    refused.clear();
}

}
