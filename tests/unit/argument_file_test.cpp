#include "config/argument_file.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

Items split(const std::string& contents)
{
    TextList items;
    EXPECT_TRUE(splitArgumentFile(textOf(contents.data(), contents.size()), items)) << contents;
    return itemsOf(items);
}

// Each result is what Temurin 25 and OpenJDK 17 made of the same file.
TEST(ArgumentFile, SplitsAsTheJavaCommandDoes)
{
    struct Case { std::string contents; Items expected; };
    const Case cases[] = {
        { "a b\tc\fd\re\nf", { "a", "b", "c", "d", "e", "f" } },
        { "\"a b\" 'c d' e\"f g\"h", { "a b", "c d", "ef gh" } },
        { "\"mix 'a' b\" 'm \"x\" y'", { "mix 'a' b", "m \"x\" y" } },
        { "'\"' \"'\"", { "\"", "'" } },
        { "#c\n\"a\\nb\\tc\\\\d\\\"e\\x\"", { "a\nb\tc\\d\"ex" } },
        { "c:\\path\\x \"c:\\\\y\" \\\"a b\\\"", { "c:\\path\\x", "c:\\y", "\\a b\"" } },
        { "\"abc \\\n   def\" g", { "abc def", "g" } },
        { "\"x \\\r\n  y\"", { "x y" } },
        { "\"open quote\nnext", { "open quote", "next" } },
        { "\"\" b", { "", "b" } },
        { "a \"\"", { "a" } },
        { "\"\"", {} },
        { "  lead  trail  ", { "lead", "trail" } },
        { "a\r\n\"b c\"\r\n", { "a", "b c" } },
        { "@inner @@x", { "@inner", "@@x" } },
        { "-Dk=\"v w\" tok\"en\" \"a\"b\"c\"", { "-Dk=v w", "token", "abc" } },
        { "#only comment", {} },
        // '#' outside quotes drops the rest of the line and what was read of its item...
        { "x#y\nz", { "z" } },
        { "a#", {} },
        // ...but not what quotes had gathered, which joins the next item.
        { "\"q\"#c\nd", { "qd" } },
        // A quote or escape cut by the end of the file gives nothing.
        { "\"a\\\n", {} },
        { "\"end\\", {} },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, split(c.contents)) << c.contents;
}

TEST(ArgumentFile, AppendsBehindWhatTheListHolds)
{
    TextList items;
    ASSERT_TRUE(items.append("-Xmx1g"));
    ASSERT_TRUE(splitArgumentFile(textOf("-Da -Db"), items));
    EXPECT_EQ((Items{ "-Xmx1g", "-Da", "-Db" }), itemsOf(items));
}

TEST(ArgumentFile, StepsOverNulBytesAndEightBitCharacters)
{
    // An item ends at its first NUL, as java reads it.
    EXPECT_EQ((Items{ "a", "\xc3\xa9" }), split(std::string("a\0b \"\\\xc3\xa9\"", 9)));
}

// java joins an item's parts, each cut at its first NUL: a part ends at a
// quote, an escape and the end of each 4,096-byte piece, even before a '#'.
TEST(ArgumentFile, JoinsThePartsOfAnItemAsTheJavaCommandDoes)
{
    const std::string x(4094, 'x');
    EXPECT_EQ((Items{ "ac", "d", "f", "ghi" }), split("a\0b\"c\" d\0e f\0\0 g\0\"h\"i"s));
    EXPECT_EQ((Items{ "ab", "xz", "", "", "q" }), split("\"a\\\0b\" x\0y\"z\" \0 \"\0\" q"s));
    EXPECT_EQ((Items{ x + "ab", "c" }), split(x + "a\0b c"s));
    // '#' at a piece's last byte drops its item; just after it, the item's part joins the next item.
    EXPECT_EQ((Items{ "z" }), split(" " + x + "#c\nz"));
    EXPECT_EQ((Items{ x + "z" }), split("  " + x + "#c\nz"));
}

TEST(ArgumentFile, GivesTheSameItemsForRunsOfAnyLength)
{
    const std::string contents = "  " + std::string(4094, 'y') + "#c\nz \"a\0b\\\n  c\" "s + std::string(5000, 'w');
    TextList items;
    ArgumentFileSplitter splitter(items);
    for (char c : contents)
        ASSERT_TRUE(splitter.take(&c, 1));
    ASSERT_TRUE(splitter.finish());
    EXPECT_EQ(split(contents), itemsOf(items));
}

TEST(ArgumentFile, ReportsAnItemWithoutMemory)
{
    const Text contents = textOf("-Da -Db -Dc -Dd -De -Df -Dg -Dh -Di \"x\\ty\"");
    for (long successes = 0; successes < 4; ++successes) {
        TextList items;
        AllocationFailures failures(successes);
        EXPECT_FALSE(splitArgumentFile(contents, items)) << successes;
    }
}

}
