#include "command_line.h"

#include <gtest/gtest.h>

namespace {

using Arguments = std::vector<std::string>;

std::string failureOf(Arguments arguments)
{
    Outcome<CommandLine> line = parseCommandLine(arguments);
    return line ? "(accepted)" : line.message();
}

TEST(CommandLine, readsEveryOption)
{
    Outcome<CommandLine> parsed = parseCommandLine(
        { "--in", "launcher.exe", "--out", "out/App.exe", "--icon", "a.png", "--icon", "b.png", "--file-version",
          "1.2.3.4", "--product-version", "65535.0.0.0", "--description", "App", "--product-name", "Suite",
          "--company", "Co", "--copyright", "(c) Co", "--console", "--execution-level", "highestAvailable",
          "--dpi-aware", "per-monitor-v2" });
    ASSERT_TRUE(parsed) << parsed.message();
    const CommandLine& line = parsed.value();
    EXPECT_EQ(line.input, "launcher.exe");
    EXPECT_EQ(line.output, "out/App.exe");
    EXPECT_EQ(line.iconPaths, (Arguments{ "a.png", "b.png" }));
    EXPECT_EQ(line.identity.fileVersion->text(), "1.2.3.4");
    EXPECT_EQ(line.identity.productVersion->high(), 0xFFFF0000u);
    EXPECT_EQ(*line.identity.description, "App");
    EXPECT_EQ(*line.identity.productName, "Suite");
    EXPECT_EQ(*line.identity.company, "Co");
    EXPECT_EQ(*line.identity.copyright, "(c) Co");
    EXPECT_EQ(line.subsystem, Subsystem::Console);
    EXPECT_EQ(line.manifest.executionLevel, ExecutionLevel::HighestAvailable);
    EXPECT_EQ(line.manifest.dpiAwareness, DpiAwareness::PerMonitorV2);
    EXPECT_TRUE(parseCommandLine({ "--help" }).value().help);
}

TEST(CommandLine, takesOnlyVersionsOfFourNumbersUpTo65535)
{
    EXPECT_EQ(parseCommandLine({ "--in", "a", "--out", "b", "--file-version", "0.0.0.0" }).value().identity.fileVersion->low(), 0u);
    for (const char* bad : { "1.2.3", "1.2.3.4.5", "1.2.3.65536", "1.2.3.99999999999", "a.b.c.d", "1..2.3", "",
                             "1.2.3.4 ", "+1.2.3.4", "1.2.3.-4" })
        EXPECT_EQ(failureOf({ "--in", "a", "--out", "b", "--file-version", bad }),
                  "--file-version: \"" + std::string(bad) + "\" is not a version of four numbers 0-65535 (A.B.C.D)");
}

TEST(CommandLine, namesWhatIsWrong)
{
    const std::pair<Arguments, const char*> cases[] = {
        { { "--out", "b" }, "--in is missing: which launcher executable to copy" },
        { { "--in", "a" }, "--out is missing: which file to write" },
        { { "--in", "a", "--out" }, "--out needs a value" },
        { { "--in", "a", "--out", "b", "--colour", "red" }, "unknown option --colour" },
        { { "--in", "a", "--out", "b", "extra" }, "unexpected argument \"extra\"" },
        { { "--in", "a", "--in", "c", "--out", "b" }, "--in is given twice" },
        { { "--in", "a", "--out", "b", "--company", "x", "--company", "y" }, "--company is given twice" },
        { { "--in", "a", "--out", "b", "--console", "--gui" }, "--console and --gui exclude each other" },
        { { "--in", "a", "--out", "b", "--execution-level", "admin" },
          "--execution-level must be one of asInvoker, highestAvailable, requireAdministrator, not \"admin\"" },
        { { "--in", "a", "--out", "b", "--dpi-aware", "true" },
          "--dpi-aware must be one of none, system, per-monitor-v2, not \"true\"" },
        { { "--in", "a", "--out", "b", "--description", "caf\xE9" }, "--description: \"caf\xE9\" is not valid UTF-8" },
    };
    for (const auto& [arguments, message] : cases)
        EXPECT_EQ(failureOf(arguments), message);
}

}  // namespace
