#include "common/output_tail.h"
#include "common/text.h"
#include "jvm/exception_text.h"

#include <gtest/gtest.h>

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
