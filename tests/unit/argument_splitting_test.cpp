#include "launcher/argument_splitting.h"
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
        splitCommandLineText(c.commandLine, arguments);
        EXPECT_EQ(c.expected, itemsOf(arguments)) << c.commandLine;
    }
}

TEST(ArgumentSplitting, TokenizesParametersBehindWhatTheListHolds)
{
    TextList options;
    options.append("-Djava.class.path=app.jar");
    tokenizeParameters(Text(""), options);
    tokenizeParameters(Text("-Xmx64m  \"-Dtitle=A B\" -Dp=\"x y\""), options);
    EXPECT_EQ((Items{ "-Djava.class.path=app.jar", "-Xmx64m", "-Dtitle=A B", "-Dp=\"x", "y\"" }),
              itemsOf(options));
    TextList items;
    tokenizeParameters(Text(" a  "), items); // untrimmed, a leading space ends an empty item
    EXPECT_EQ((Items{ "", "a" }), itemsOf(items));
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
        pieces.append("left over");
        splitAtSeparator(pieces, Text(c.text), Text(c.separator));
        EXPECT_EQ(c.expected, itemsOf(pieces)) << c.text;
    }
}

TEST(ArgumentSplitting, FindsTheFirstEqualArgument)
{
    TextList arguments;
    EXPECT_EQ(-1, findArgument(arguments, "-nosplash"));
    for (const char* argument : { "-nosplash", "x", "-NOSPLASH", "x", "-nosplashes" })
        arguments.append(argument);
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
        Text text(c[0]);
        trimBlanks(text);
        EXPECT_STREQ(c[1], text.chars()) << c[0];
    }
}

}
