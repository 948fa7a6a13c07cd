#include "command_line.h"

#include <gtest/gtest.h>

namespace {

std::string failureOf(std::vector<std::string> arguments)
{
    Outcome<CommandLine> line = parseCommandLine(arguments);
    return line ? "(accepted)" : line.message();
}

TEST(CommandLine, takesOnlyVersionsOfFourNumbersUpTo65535)
{
    Outcome<CommandLine> line = parseCommandLine({ "--in", "a", "--out", "b", "--file-version", "65535.0.7.10" });
    ASSERT_TRUE(line) << line.message();
    EXPECT_EQ(line.value().identity.fileVersion->high(), 0xFFFF0000u);
    EXPECT_EQ(line.value().identity.fileVersion->low(), 0x0007000Au);
    for (const char* bad : { "1.2.3", "1.2.3.4.5", "1.2.3.65536", "1.2.3.99999999999", "a.b.c.d", "1..2.3", "",
                             "1.2.3.4 ", "+1.2.3.4", "1.2.3.-4" })
        EXPECT_EQ(failureOf({ "--in", "a", "--out", "b", "--file-version", bad }),
                  "--file-version: \"" + std::string(bad) + "\" is not a version of four numbers 0-65535 (A.B.C.D)");
}

TEST(CommandLine, takesUtf8AsAFlagThatChangesTheManifest)
{
    Outcome<CommandLine> plain = parseCommandLine({ "--in", "a", "--out", "b" });
    Outcome<CommandLine> line = parseCommandLine({ "--in", "a", "--utf8", "--out", "b" });
    ASSERT_TRUE(plain && line);
    EXPECT_FALSE(plain.value().manifest.any());
    EXPECT_TRUE(line.value().manifest.utf8CodePage && line.value().manifest.any());
    EXPECT_EQ(failureOf({ "--in", "a", "--out", "b", "--utf8=yes" }), "unknown option --utf8=yes");
}

TEST(CommandLine, refusesOptionsThatContradictOrRepeat)
{
    EXPECT_EQ(failureOf({ "--in", "a", "--out", "b", "--console", "--gui" }), "--console and --gui exclude each other");
    EXPECT_EQ(failureOf({ "--in", "a", "--in", "c", "--out", "b" }), "--in is given twice");
    EXPECT_EQ(failureOf({ "--in", "a", "--out", "b", "--company", "x", "--company", "y" }), "--company is given twice");
    EXPECT_EQ(failureOf({ "--in", "a", "--out", "b", "--description", "caf\xE9" }),
              "--description: \"caf\xE9\" is not valid UTF-8");
    EXPECT_EQ(failureOf({ "--in", "a", "--out", "b", "extra" }), "unexpected argument \"extra\"");
}

}  // namespace
