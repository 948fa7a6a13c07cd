// JDK_JAVA_OPTIONS split and refused as java splits and refuses it, with
// argument files the test makes up.
#include "config/options_variable.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using Files = std::map<std::string, Items>;

struct Outcome {
    bool taken;
    Items items;
    std::string message;
    int exitCode;
};

Outcome split(const char* value, const Files& files = {})
{
    auto splitting = [](const char* path, TextList& items, const void* context) {
        const Files& known = *static_cast<const Files*>(context);
        auto found = known.find(path);
        if (found == known.end())
            return ArgumentFileOutcome::CannotRead;
        for (const std::string& item : found->second)
            if (!items.append(item.c_str()))
                return ArgumentFileOutcome::OutOfMemory;
        return ArgumentFileOutcome::Split;
    };
    TextList items;
    Failure failure;
    bool taken = splitOptionsVariable(textOf(value), splitting, &files, items, failure);
    return { taken, itemsOf(items), failure.hasMessage() ? failure.text() : "", failure.exitCode };
}

TEST(OptionsVariable, SplitAtBlanksWithQuotesInsideItemsAndNoEscapes)
{
    EXPECT_EQ((Items { "-Da=x y", "-Db=q r", "-Dc=st uv", "-Dd=\\n", "-De='", "-Xss1m" }),
              split(" -Da=\"x y\"\t-Db='q r'\n-Dc=s\"t u\"v\r\f\v-Dd=\\n -De=\"'\" -Xss1m ").items);
    EXPECT_EQ((Items { "--add-opens", "java.base/java.lang=ALL-UNNAMED", "-cp", "a:b" }),
              split("--add-opens java.base/java.lang=ALL-UNNAMED -cp a:b").items);
    EXPECT_EQ(Items {}, split("").items);
    EXPECT_TRUE(split("   ").taken);
}

TEST(OptionsVariable, ArgumentFilesAsJavaExpandsThem)
{
    Files files = { { "opts", { "-Dfrom.file=1", "--add-opens" } } };
    EXPECT_EQ((Items { "-Dfrom.file=1", "--add-opens", "java.base/java.lang=ALL-UNNAMED" }),
              split("@opts java.base/java.lang=ALL-UNNAMED", files).items);
    Outcome missing = split("@missing");
    EXPECT_EQ("Error: could not open `missing'", missing.message);
    EXPECT_EQ(1, missing.exitCode);
}

TEST(OptionsVariable, RefusedAsJavaRefusesThem)
{
    const char* const kVariable = "environment variable JDK_JAVA_OPTIONS";
    Files files = { { "jar", { "-Dx=1", "-jar", "x.jar" } }, { "main", { "Main" } }, { "opts", { "-Dx=1" } } };
    struct Case {
        const char* value;
        std::string message;
    };
    const Case cases[] = {
        { "-Dx=\"unterminated", std::string("Error: Unmatched quote in ") + kVariable },
        { "-Dx='a\"", std::string("Error: Unmatched quote in ") + kVariable },
        { "com.example.Main", std::string("Error: Cannot specify main class in ") + kVariable },
        { "-Dx=1 ''", std::string("Error: Cannot specify main class in ") + kVariable },
        { "-cp a b", std::string("Error: Cannot specify main class in ") + kVariable },
        { "@", std::string("Error: Cannot specify main class in ") + kVariable },
        { "@@opts", std::string("Error: Cannot specify main class in ") + kVariable },
        { "--disable-@files @opts", std::string("Error: Cannot specify main class in ") + kVariable },
        { "@main", std::string("Error: Cannot specify main class in ") + kVariable },
        { "-jar app.jar", std::string("Error: Option -jar is not allowed in ") + kVariable },
        { "-m app", std::string("Error: Option -m is not allowed in ") + kVariable },
        { "--version", std::string("Error: Option --version is not allowed in ") + kVariable },
        { "@jar", std::string("Error: Option -jar in @jar is not allowed in ") + kVariable },
    };
    for (const Case& refused : cases) {
        Outcome outcome = split(refused.value, files);
        EXPECT_FALSE(outcome.taken) << refused.value;
        EXPECT_EQ(refused.message, outcome.message) << refused.value;
        EXPECT_EQ(1, outcome.exitCode) << refused.value;
    }
    // A value option takes the next item, whatever it looks like.
    EXPECT_EQ((Items { "-cp", "a", "--add-modules", "java.sql" }), split("-cp a --add-modules java.sql").items);
}

TEST(OptionsVariable, TheNoteIsJavas)
{
    Text note;
    ASSERT_TRUE(optionsVariableNote(textOf("-Da=\"x y\""), note));
    EXPECT_STREQ("NOTE: Picked up JDK_JAVA_OPTIONS: -Da=\"x y\"", note.chars());
}

}
