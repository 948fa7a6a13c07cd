#include "common/text_scan.h"
#include "common/argument_splitting.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

TEST(ArgumentSplitting, SplitsTheCommandLineAfterTheProgramPath)
{
    struct Case { const char* commandLine; Items expected; };
    const Case cases[] = {
        { "app.exe a b", { "a", "b" } }, { "app.exe", {} }, { " \t\r\n ", {} },
        { "\"D:\\App Dir\\app.exe\" -nosplash \"x y\"", { "-nosplash", "x y" } },
        { "D:\\Program Files\\App\\app.exe x", { "Files\\App\\app.exe", "x" } },
        { "app.exe\tx", {} }, { "app.exe a \"\" b", { "a", "", "b" } },
        { "app.exe \"abc\"def", { "abc", "def" } }, { "app.exe ab\"c d\"", { "ab\"c", "d\"" } },
        { "app.exe \"abc", { "abc" } }, { "app.exe a \"", { "a", "" } },
        { "app.exe \"a\\\"b\"", { "a\\", "b\"" } },
        { " \t app.exe   a    b a\tb \t\r\n", { "a", "b", "a\tb" } },
    };
    for (const Case& c : cases) {
        TextList arguments;
        ASSERT_TRUE(splitCommandLineText(c.commandLine, arguments));
        EXPECT_EQ(c.expected, itemsOf(arguments)) << c.commandLine;
    }
}

std::u16string widened(const char* text)
{
    std::u16string units;
    for (const char* p = text; *p; ++p)
        units += static_cast<char16_t>(static_cast<unsigned char>(*p));
    return units;
}

bool isAsciiBlank(char16_t unit)
{
    return unit == u' ' || (unit >= u'\t' && unit <= u'\r');
}

std::vector<std::u16string> splitWide(const std::u16string& line)
{
    List<TextSpan> spans;
    EXPECT_TRUE(splitWideCommandLine(line.data(), line.size(), isAsciiBlank, spans));
    std::vector<std::u16string> arguments;
    for (size_t i = 0; i < spans.count(); ++i)
        arguments.push_back(line.substr(spans.at(i).start, spans.at(i).length));
    return arguments;
}

// The command line in UTF-16 is split exactly as the same line in the code page.
TEST(ArgumentSplitting, SplitsAWideCommandLineAsTheCodePageLine)
{
    const char* lines[] = {
        "app.exe a b", "app.exe", " \t\r\n ", "", "\"D:\\App Dir\\app.exe\" -nosplash \"x y\"",
        "D:\\Program Files\\App\\app.exe x", "app.exe\tx", "app.exe a \"\" b", "app.exe \"abc\"def",
        "app.exe ab\"c d\"", "app.exe \"abc", "app.exe a \"", "app.exe \"a\\\"b\"", "\"app.exe\"",
        " \t app.exe   a    b a\tb \t\r\n", "\"app\"x \"\"\"\" y  ",
    };
    for (const char* line : lines) {
        TextList expected;
        ASSERT_TRUE(splitCommandLineText(line, expected));
        std::vector<std::u16string> wanted;
        for (const std::string& item : itemsOf(expected))
            wanted.push_back(widened(item.c_str()));
        EXPECT_EQ(wanted, splitWide(widened(line))) << line;
    }
}

TEST(ArgumentSplitting, KeepsCharactersOutsideTheCodePageWhole)
{
    // Łukasz, a Cyrillic word and an emoji (a surrogate pair) beside quotes and spaces.
    std::u16string line = u"\"C:\\\u0141ukasz\\app.exe\" \"\u0414\u0430 \u043d\"\U0001F600 x\u00a0";
    EXPECT_EQ((std::vector<std::u16string>{ u"\u0414\u0430 \u043d", u"\U0001F600", u"x\u00a0" }), splitWide(line));
}

TEST(ArgumentSplitting, TokenizesParametersBehindWhatTheListHolds)
{
    TextList options;
    ASSERT_TRUE(options.append("-Djava.class.path=app.jar"));
    ASSERT_TRUE(tokenizeParameters(textOf(""), options));
    ASSERT_TRUE(tokenizeParameters(textOf("-Xmx64m  \"-Dtitle=A B\" -Dp=\"x y\""), options));
    EXPECT_EQ((Items{ "-Djava.class.path=app.jar", "-Xmx64m", "-Dtitle=A B", "-Dp=\"x", "y\"" }),
              itemsOf(options));
    TextList items;
    ASSERT_TRUE(tokenizeParameters(textOf(" a  "), items)); // untrimmed, a leading space ends an empty item
    EXPECT_EQ((Items{ "", "a" }), itemsOf(items));
}

TEST(ArgumentSplitting, ReportsAnItemWithoutMemory)
{
    const Text parameters = textOf("-Da -Db -Dc -Dd -De -Df -Dg -Dh -Di"), versions = textOf("1;2;3;4;5;6;7;8;9"),
               separator = textOf(";");
    for (long successes = 0; successes < 4; ++successes) {
        TextList options, pieces, arguments;
        AllocationFailures failures(successes);
        EXPECT_FALSE(tokenizeParameters(parameters, options)) << successes;
        EXPECT_FALSE(splitAtSeparator(pieces, versions, separator)) << successes;
        EXPECT_FALSE(splitCommandLineText("app a b c d e f g h i", arguments)) << successes;
    }
}

// A NUL inside a text is one more character to step over: no scan stands still on it.
TEST(ArgumentSplitting, StepsOverANulInsideATextAsOverAnyCharacter)
{
    TextList options;
    ASSERT_TRUE(tokenizeParameters(textOf("-Da\0 \"x\0\" -Db\0", 14), options));
    EXPECT_EQ((Items{ std::string("-Da\0", 4), std::string("x\0", 2), std::string("-Db\0", 4) }),
              itemsOf(options));
    TextList pieces;
    ASSERT_TRUE(splitAtSeparator(pieces, textOf("1.\0;2\0", 6), textOf(";")));
    EXPECT_EQ((Items{ std::string("1.\0", 3), std::string("2\0", 2) }), itemsOf(pieces));
    Text name = textOf("a.b\0c.d", 7);
    replaceCharacter(name, '.', '/');
    EXPECT_EQ(std::string("a/b\0c/d", 7), std::string(name.chars(), name.length()));
    EXPECT_EQ(5u, findLastCharacter(name, '/'));
    EXPECT_FALSE(endsWithCharacter(textOf("a\0", 2), 'a'));
}

TEST(ArgumentSplitting, SplitsAtTheSeparator)
{
    struct Case { const char* text; const char* separator; Items expected; };
    const Case cases[] = {
        { "1.4;1.5", ";", { "1.4", "1.5" } }, { "", ";", { "" } }, { "1.4;", ";", { "1.4", "" } },
        { ";1.4", ";", { "", "1.4" } }, { "1.4;;1.5", ";", { "1.4", "", "1.5" } },
        { "1.4; 1.5", ";", { "1.4", " 1.5" } }, { "a, b,c, ", ", ", { "a", "b,c", "" } },
        { "a,", ", ", { "a," } },
    };
    for (const Case& c : cases) {
        TextList pieces;
        ASSERT_TRUE(pieces.append("left over"));
        ASSERT_TRUE(splitAtSeparator(pieces, textOf(c.text), textOf(c.separator)));
        EXPECT_EQ(c.expected, itemsOf(pieces)) << c.text;
    }
}

TEST(ArgumentSplitting, FindsTheFirstEqualArgument)
{
    TextList arguments;
    EXPECT_EQ(-1, findArgument(arguments, "-nosplash"));
    for (const char* argument : { "-nosplash", "x", "-NOSPLASH", "x", "-nosplashes" })
        ASSERT_TRUE(arguments.append(argument));
    EXPECT_EQ(0, findArgument(arguments, "-nosplash"));
    EXPECT_EQ(-1, findArgument(arguments, "/nosplash"));
    EXPECT_EQ(1, findArgument(arguments, "x"));
    EXPECT_EQ(2, findArgument(arguments, "-NOSPLASH"));
    EXPECT_EQ(-1, findArgument(arguments, "-nosplas"));
}

TEST(ArgumentSplitting, TrimsBlanksAtBothEndsOnly)
{
    const char* const cases[][2] = {
        { " \t\r\n\v\fa b\t\v\f\r\nc \t\r\n\v\f", "a b\t\v\f\r\nc" },
        { "abc", "abc" }, { "", "" }, { " \t\v\f\r\n", "" }, { "\t\ta", "a" }, { "a \t", "a" },
    };
    for (const auto& c : cases) {
        Text text = textOf(c[0]);
        trimBlanks(text);
        EXPECT_STREQ(c[1], text.chars()) << c[0];
    }
}

}
