// Relative paths anchored in the folder the launcher started in, before it
// changes to the working directory.
#include "config/working_directory.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool startsWithSlash(const char* path)
{
    return path[0] == '/';
}

std::string anchored(const char* classPath, const char* directory)
{
    Text result;
    EXPECT_TRUE(anchorClassPath(textOf(classPath), textOf(directory), ':', startsWithSlash, result));
    return result.chars();
}

TEST(WorkingDirectory, RelativeEntriesAreTakenFromTheStartingFolder)
{
    EXPECT_EQ("/home/me/lib/a.jar:/opt/app/b.jar:/home/me/classes", anchored("lib/a.jar:/opt/app/b.jar:classes", "/home/me"));
    // An empty entry is the folder itself, as java takes it; a folder may end with its separator.
    EXPECT_EQ("/home/me/:/home/me/x", anchored(":x", "/home/me/"));
    EXPECT_EQ("/", anchored("/", "/home/me"));
}

TEST(WorkingDirectory, NoneAnchoredWithoutMemory)
{
    const Text classPath = textOf("lib/a.jar:b.jar");
    const Text directory = textOf("/home/me");
    int failed = 0;
    for (long successes = 0; successes < 30; ++successes) {
        Text result;
        bool done;
        {
            AllocationFailures failures(successes);
            done = anchorClassPath(classPath, directory, ':', startsWithSlash, result);
        }
        if (!done) {
            ++failed;
            continue;
        }
        EXPECT_STREQ("/home/me/lib/a.jar:/home/me/b.jar", result.chars());
    }
    EXPECT_GT(failed, 0);
}

}
