// Class path wildcards widened as java widens them, against folders the test
// makes up: their names in the order a system would list them.
#include "config/class_path_wildcards.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct Folders {
    std::map<std::string, std::vector<std::string>> listed; // by wildcard, as the system lists it
    std::set<std::string> named;                            // files whose very name holds the '*'
    bool windows = false;
};

std::string widen(const Folders& folders, const char* classPath, char listSeparator = ':')
{
    WildcardFolders system = {
        [](const char* path, const void* context) {
            return static_cast<const Folders*>(context)->named.count(path) > 0;
        },
        [](const char* wildcard, TextList& names, const void* context) {
            const auto& listed = static_cast<const Folders*>(context)->listed;
            auto found = listed.find(wildcard);
            if (found == listed.end())
                return false;
            for (const std::string& name : found->second)
                EXPECT_TRUE(names.append(name.c_str()));
            return true;
        },
        folders.windows ? [](char c) { return c == '\\' || c == '/'; } : [](char c) { return c == '/'; },
        &folders,
    };
    Text widened = textOf("-Djava.class.path=");
    EXPECT_TRUE(widenClassPath(textOf(classPath), listSeparator, system, widened));
    return widened.chars();
}

TEST(ClassPathWildcards, AFoldersJarFilesInTheSystemsOrder)
{
    Folders folders;
    folders.listed["lib/*"] = { ".", "z.jar", "..", "a.jar", "B.JAR", "c.Jar", "d.zip", "sub", "dir.jar", ".jar" };
    folders.listed["*"] = { "here.jar" };
    // Not sorted; neither ".Jar" nor ".zip"; a folder named like a JAR file counts, as for java.
    EXPECT_EQ("-Djava.class.path=classes:lib/z.jar:lib/a.jar:lib/B.JAR:lib/dir.jar:lib/.jar:x.jar",
              widen(folders, "classes:lib/*:x.jar"));
    EXPECT_EQ("-Djava.class.path=here.jar", widen(folders, "*"));
    EXPECT_EQ("-Djava.class.path=:lib/z.jar:lib/a.jar:lib/B.JAR:lib/dir.jar:lib/.jar:",
              widen(folders, ":lib/*:"));
}

TEST(ClassPathWildcards, AnythingElseStaysAsWritten)
{
    Folders folders;
    folders.listed["lib/*"] = { "a.jar" };
    folders.listed["empty/*"] = { ".", ".." };
    folders.named = { "named/*" };
    folders.listed["named/*"] = { "a.jar" };
    for (const char* written : { "lib/*.jar", "lib*", "a*b:lib/x*", "none/*", "empty/*", "named/*", "", "lib" })
        EXPECT_EQ(std::string("-Djava.class.path=") + written, widen(folders, written)) << written;
    // A folder that is not there stays as written beside one that is widened.
    EXPECT_EQ("-Djava.class.path=none/*:lib/a.jar", widen(folders, "none/*:lib/*"));
}

TEST(ClassPathWildcards, OnWindowsEitherSeparatorMarksTheFolder)
{
    Folders folders;
    folders.windows = true;
    folders.listed["C:\\app\\lib\\*"] = { ".", "..", "app.jar", "util.JAR" };
    folders.listed["C:\\app\\lib/*"] = { "app.jar" };
    EXPECT_EQ("-Djava.class.path=C:\\app\\lib\\app.jar;C:\\app\\lib\\util.JAR;C:\\app\\lib/app.jar",
              widen(folders, "C:\\app\\lib\\*;C:\\app\\lib/*", ';'));
    // A name with the list separator in it is no JAR file's: java's own caution.
    folders.listed["odd\\*"] = { "a;b.jar", "c.jar" };
    EXPECT_EQ("-Djava.class.path=odd\\c.jar", widen(folders, "odd\\*", ';'));
}

TEST(ClassPathWildcards, NoneWidenedWithoutMemory)
{
    int failed = 0;
    const Text classPath = textOf("x:lib/*");
    for (long successes = 0; successes < 40; ++successes) {
        Text widened;
        bool done;
        {
            AllocationFailures failures(successes);
            WildcardFolders system = {
                [](const char*, const void*) { return false; },
                [](const char*, TextList& names, const void*) { return names.append("a.jar") && names.append("b.jar"); },
                [](char c) { return c == '/'; },
                nullptr,
            };
            done = widenClassPath(classPath, ':', system, widened);
        }
        if (!done) {
            ++failed;
            continue;
        }
        EXPECT_STREQ("x:lib/a.jar:lib/b.jar", widened.chars()) << successes;
    }
    EXPECT_GT(failed, 0);
}

}
