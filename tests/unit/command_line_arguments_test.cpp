#include "common/command_line_arguments.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string exactOf(const CommandLineArguments& arguments, size_t index)
{
    const Utf16Text& exact = arguments.exact(index);
    return std::u16string(exact.units() ? exact.units() : u"", exact.length());
}

TEST(CommandLineArguments, KeepTheExactUtf16BesideTheTextItStandsFor)
{
    CommandLineArguments arguments;
    const std::u16string name = u"\u0141ukasz \u8868.txt";
    ASSERT_TRUE(arguments.append(textOf("-nosplash")));
    ASSERT_TRUE(arguments.append(textOf("?ukasz ?.txt"), name.data(), name.size()));
    ASSERT_TRUE(arguments.append(textOf("")));
    // Enough to move what is kept as the lists grow.
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(arguments.append(textOf("?"), name.data() + i % 8, 1));

    ASSERT_EQ(23u, arguments.count());
    Items texts = itemsOf(arguments.texts());
    EXPECT_EQ((Items{ "-nosplash", "?ukasz ?.txt", "", "?" }), Items(texts.begin(), texts.begin() + 4));
    EXPECT_STREQ("?ukasz ?.txt", arguments.text(1).chars());
    EXPECT_TRUE(arguments.exact(0).isEmpty());
    EXPECT_EQ(name, exactOf(arguments, 1));
    EXPECT_TRUE(arguments.exact(2).isEmpty());
    for (size_t i = 3; i < arguments.count(); ++i)
        EXPECT_EQ(name.substr((i - 3) % 8, 1), exactOf(arguments, i)) << i;
}

TEST(CommandLineArguments, AddNothingWhenMemoryRunsOut)
{
    const std::u16string name = u"\u0141ukasz.txt";
    const Text text = textOf("?ukasz.txt");
    const Text next = textOf("next");
    for (long successes = 0;; ++successes) {
        CommandLineArguments arguments;
        ASSERT_TRUE(arguments.append(textOf("first")));
        bool appended;
        {
            AllocationFailures failures(successes);
            appended = arguments.append(text, name.data(), name.size());
        }
        if (appended) {
            EXPECT_EQ(name, exactOf(arguments, 1));
            return;
        }
        // What comes next keeps its place beside its own text.
        ASSERT_EQ(1u, arguments.count()) << "after " << successes << " allocations";
        ASSERT_TRUE(arguments.append(next));
        EXPECT_STREQ("next", arguments.text(1).chars());
        EXPECT_TRUE(arguments.exact(1).isEmpty()) << "after " << successes << " allocations";
    }
}

}
