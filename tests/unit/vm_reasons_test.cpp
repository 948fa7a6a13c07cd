#include "common/output_tail.h"
#include "common/text.h"
#include "jvm/exception_text.h"
#include "jvm/vm_output.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

std::string kept(const OutputTail& tail)
{
    Text text;
    EXPECT_TRUE(tail.appendTo(text));
    return std::string(text.chars(), text.length());
}

TEST(OutputTail, KeepsEverythingUpToTheBound)
{
    OutputTail tail;
    EXPECT_EQ("", kept(tail));
    tail.append("Unrecognized VM option ", 23);
    tail.append("'UseFooBar'\n", 12);
    EXPECT_EQ("Unrecognized VM option 'UseFooBar'\n", kept(tail));
    EXPECT_FALSE(tail.cut());
    std::string filling(OutputTail::kBound - tail.length(), 'x');
    tail.append(filling.data(), filling.size());
    EXPECT_EQ(OutputTail::kBound, kept(tail).size());
    EXPECT_FALSE(tail.cut());
}

TEST(OutputTail, KeepsTheLastBytesInOrderOnceFull)
{
    OutputTail tail;
    std::string written;
    // Pieces that do not divide the bound, so that the ring wraps mid-piece.
    for (int i = 0; written.size() < 3 * OutputTail::kBound; ++i) {
        std::string piece = "line " + std::to_string(i) + "\n";
        tail.append(piece.data(), piece.size());
        written += piece;
    }
    EXPECT_TRUE(tail.cut());
    EXPECT_EQ(written.substr(written.size() - OutputTail::kBound), kept(tail));
}

TEST(OutputTail, OnePieceLongerThanTheBoundKeepsItsEnd)
{
    OutputTail tail;
    tail.append("old", 3);
    std::string big(OutputTail::kBound + 10, 'a');
    big.replace(big.size() - 4, 4, "end\n");
    tail.append(big.data(), big.size());
    EXPECT_TRUE(tail.cut());
    EXPECT_EQ(big.substr(10), kept(tail));
    tail.clear();
    EXPECT_EQ("", kept(tail));
}

std::string shownReason(const std::string& said)
{
    Text message = textOf("failed.\n");
    appendShownReason(message, textOf(said.data(), said.size()));
    return std::string(message.chars(), message.length());
}

TEST(ShownReason, TheBoxShowsTheLastLinesThatFit)
{
    EXPECT_EQ("failed.\nshort\n", shownReason("short\n"));
    std::string older(3000, 'o');
    std::string last(2500, 'l');
    EXPECT_TRUE("failed.\n" + last + "\n" == shownReason(older + "\n" + older + "\n" + last + "\n"));
}

TEST(ShownReason, ALastLineLongerThanTheBoxShowsItsEnd)
{
    std::string line(5000, 'x');
    line.replace(line.size() - 5, 5, "end.\n");
    EXPECT_TRUE("failed.\n" + line.substr(1000) == shownReason("first\n" + line));
    EXPECT_TRUE("failed.\n" + line.substr(1000) == shownReason(line));
}

// Stepping by the locale's characters: "\xc3\xa9" is one in UTF-8.
TEST(ShownReason, TheEndOfALongLineStartsAtAWholeCharacter)
{
    if (!setlocale(LC_CTYPE, "C.UTF-8"))
        GTEST_SKIP() << "no C.UTF-8 locale on this system";
    std::string line;
    for (int i = 0; i < 3000; ++i)
        line += "\xc3\xa9";
    line += "!";
    // The last 4,000 bytes would begin with the second byte of a character.
    std::string shown = shownReason("first\n" + line);
    setlocale(LC_CTYPE, "C");
    EXPECT_TRUE("failed.\n" + line.substr(2002) == shown) << shown.substr(0, 12);
}

const char kTooNew[] =
    "java.lang.UnsupportedClassVersionError: app/Main has been compiled by a more recent version of the Java "
    "Runtime (class file version 69.0), this version of the Java Runtime only recognizes class file versions up "
    "to 61.0\n";

TEST(ClassVersion, TheClassFileVersionIsReadFromTheExceptionsText)
{
    EXPECT_EQ(69, classFileVersionIn(kTooNew));
    EXPECT_EQ(52, classFileVersionIn("(class file version 52.65535)"));
    EXPECT_EQ(0, classFileVersionIn("java.lang.NoClassDefFoundError: app/Main"));
    EXPECT_EQ(0, classFileVersionIn("class file version x"));
    EXPECT_EQ(0, classFileVersionIn("class file version 99999999999"));
}

TEST(ClassVersion, TheAdviceNamesBothJavasAndTheSetting)
{
    EXPECT_STREQ("The main class needs Java 25 or later, and the runtime that was chosen is Java 17.0.9. "
                 "The setting Minimum Version chooses the runtime.\n",
                 classVersionAdvice(kTooNew, "17.0.9").chars());
    EXPECT_STREQ("The main class needs Java 8 or later, which the runtime that was chosen is not. "
                 "The setting Minimum Version chooses the runtime.\n",
                 classVersionAdvice("(class file version 52.0)", "").chars());
    EXPECT_STREQ("", classVersionAdvice("java.lang.NoClassDefFoundError: app/Main", "17").chars());
    EXPECT_STREQ("", classVersionAdvice("(class file version 45.3)", "1.1").chars());
}

}
