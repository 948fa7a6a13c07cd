#include "config/java_options.h"
#include "platform/files.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using Files = std::map<std::string, std::string>;

bool readFake(const char* path, Text& contents, const void* context)
{
    const Files& files = *static_cast<const Files*>(context);
    auto found = files.find(path);
    return found != files.end() && contents.assign(found->second.data(), found->second.size());
}

void fill(TextList& list, const Items& items)
{
    for (const std::string& item : items)
        ASSERT_TRUE(list.append(item.data(), item.size()));
}

struct Outcome {
    bool taken = false;
    JavaOptions options;
    OptionFailure failure;
};

void translate(const Items& parameters, Outcome& outcome, const Files& files = {})
{
    TextList list;
    fill(list, parameters);
    outcome.taken = translateJavaOptions(list, readFake, &files, outcome.options, outcome.failure);
}

Items optionsOf(const Items& parameters, const Files& files = {})
{
    Outcome outcome;
    translate(parameters, outcome, files);
    EXPECT_TRUE(outcome.taken) << (outcome.failure.format ? outcome.failure.format : "out of memory");
    return itemsOf(outcome.options.vmOptions);
}

TEST(JavaOptions, ModuleOptionsInTwoWordsBecomeOneOption)
{
    EXPECT_EQ((Items{ "--module-path=mods", "--module-path=a:b", "--upgrade-module-path=up",
                      "--add-modules=java.sql,app", "--enable-native-access=ALL-UNNAMED", "--limit-modules=java.base",
                      "--add-exports=java.base/jdk.internal.misc=app", "--add-opens=java.base/java.lang=ALL-UNNAMED",
                      "--add-reads=app=ALL-UNNAMED", "--patch-module=java.sql=p", "--add-modules=again" }),
              optionsOf({ "-p", "mods", "--module-path", "a:b", "--upgrade-module-path", "up", "--add-modules",
                          "java.sql,app", "--enable-native-access", "ALL-UNNAMED", "--limit-modules", "java.base",
                          "--add-exports", "java.base/jdk.internal.misc=app", "--add-opens",
                          "java.base/java.lang=ALL-UNNAMED", "--add-reads", "app=ALL-UNNAMED", "--patch-module",
                          "java.sql=p", "--add-modules", "again" }));
}

TEST(JavaOptions, EverythingElseStaysAsItWasInItsPlace)
{
    const Items today = { "-Xmx256m", "-Dx=1", "--module-path=m", "--add-modules=", "-verbosegc", "-Xshare:dump",
                          "-Djava.class.path=c.jar", "", "Main", "-XX:+UseG1GC", "-p=x", "-client:x", "-ms" };
    Outcome outcome;
    translate(today, outcome);
    ASSERT_TRUE(outcome.taken);
    Items expected = today;
    expected.back() = "-Xms"; // the old spelling of -Xms, which the machine refuses as it does "-ms"
    EXPECT_EQ(expected, itemsOf(outcome.options.vmOptions));
    EXPECT_FALSE(outcome.options.hasClassPath);
    EXPECT_TRUE(outcome.options.vmLibraryKind.isEmpty());
    EXPECT_TRUE(optionsOf({}).empty());
}

TEST(JavaOptions, AnOptionWithoutItsValueIsNamed)
{
    const Items cases[] = { { "--add-opens" }, { "-p", "-Dx=1" }, { "--module-path", "" }, { "-cp" },
                            { "-Xmx1g", "--class-path", "--add-modules", "x" }, { "--limit-modules", "-Da" } };
    const char* const named[] = { "--add-opens", "-p", "--module-path", "-cp", "--class-path", "--limit-modules" };
    for (size_t i = 0; i < sizeof named / sizeof named[0]; ++i) {
        Outcome outcome;
        translate(cases[i], outcome);
        EXPECT_FALSE(outcome.taken) << named[i];
        EXPECT_EQ(kMissingValueFormat, outcome.failure.format) << named[i];
        EXPECT_STREQ(named[i], outcome.failure.subject.chars());
    }
}

TEST(JavaOptions, TheClassPathOptionsGiveTheLastValue)
{
    Outcome outcome;
    translate({ "-cp", "a.jar", "-Dx=1", "-classpath", "b.jar", "--class-path", "c.jar" }, outcome);
    ASSERT_TRUE(outcome.taken);
    EXPECT_TRUE(outcome.options.hasClassPath);
    EXPECT_STREQ("c.jar", outcome.options.classPath.chars());
    EXPECT_EQ((Items{ "-Dx=1" }), itemsOf(outcome.options.vmOptions));

    Outcome longForm;
    translate({ "--class-path=d.jar" }, longForm);
    EXPECT_STREQ("d.jar", longForm.options.classPath.chars());
    Outcome empty;
    translate({ "-cp", "" }, empty);
    EXPECT_TRUE(empty.taken && empty.options.hasClassPath && empty.options.classPath.isEmpty());
}

TEST(JavaOptions, TheClassPathOfTheParametersComesAfterTheSetting)
{
    const std::string separator(1, platform::kPathListSeparator);
    Outcome outcome;
    translate({ "-cp", "x.jar" }, outcome);
    Text option = textOf("-Djava.class.path=app.jar");
    ASSERT_TRUE(appendOptionClassPath(option, true, outcome.options));
    EXPECT_EQ("-Djava.class.path=app.jar" + separator + "x.jar", option.chars());
    Text alone = textOf("-Djava.class.path=");
    ASSERT_TRUE(appendOptionClassPath(alone, false, outcome.options));
    EXPECT_STREQ("-Djava.class.path=x.jar", alone.chars());

    Outcome none;
    translate({ "-cp", "" }, none);
    Text unchanged = textOf("-Djava.class.path=app.jar");
    ASSERT_TRUE(appendOptionClassPath(unchanged, true, none.options));
    EXPECT_STREQ("-Djava.class.path=app.jar", unchanged.chars());
}

TEST(JavaOptions, VmLibraryKindAndSplashAreKeptFromTheMachine)
{
    Outcome outcome;
    translate({ "-server", "-Da", "-client", "-splash:a.png", "-splash:%x b.png" }, outcome);
    ASSERT_TRUE(outcome.taken);
    EXPECT_EQ((Items{ "-Da" }), itemsOf(outcome.options.vmOptions));
    EXPECT_STREQ("client", outcome.options.vmLibraryKind.chars());
    EXPECT_STREQ("%x b.png", outcome.options.splashPath.chars());
}

TEST(JavaOptions, OldSpellingsBecomeWhatJavaHandsTheMachine)
{
    EXPECT_EQ((Items{ "-Dsun.java.launcher.diag=true", "-Djdk.module.showModuleResolution=true", "-Xnoclassgc",
                      "-Xverify:all", "-Xverify:remote", "-Xverify:none", "-Xss512k", "-Xms8m", "-Xmx1g" }),
              optionsOf({ "-Xdiag", "--show-module-resolution", "-noclassgc", "-verify", "-verifyremote",
                          "-noverify", "-debug", "-ss512k", "-ms8m", "-mx1g" }));
}

TEST(JavaOptions, OptionsOfTheJavaCommandAloneAreNamed)
{
    struct Case { Items parameters; const char* format; const char* subject; };
    const Case cases[] = {
        { { "-Da", "-version" }, kJavaCommandOptionFormat, "-version" },
        { { "--show-version" }, kJavaCommandOptionFormat, "--show-version" },
        { { "--dry-run" }, kJavaCommandOptionFormat, "--dry-run" },
        { { "-?" }, kJavaCommandOptionFormat, "-?" },
        { { "-X" }, kJavaCommandOptionFormat, "-X" },
        { { "-d", "app" }, kJavaCommandOptionFormat, "-d" },
        { { "--describe-module=app" }, kJavaCommandOptionFormat, "--describe-module=app" },
        { { "--source", "21" }, kJavaCommandOptionFormat, "--source" },
        { { "-XshowSettings:all" }, kJavaCommandOptionFormat, "-XshowSettings:all" },
        { { "--list-modules" }, kJavaCommandOptionFormat, "--list-modules" },
        { { "-m", "app/app.Main" }, kMainModuleOptionFormat, "-m" },
        { { "--module=app" }, kMainModuleOptionFormat, "--module=app" },
        { { "-jar", "app.jar" }, kMainJarOptionFormat, "-jar" },
    };
    for (const Case& c : cases) {
        Outcome outcome;
        translate(c.parameters, outcome);
        EXPECT_FALSE(outcome.taken) << c.subject;
        EXPECT_EQ(c.format, outcome.failure.format) << c.subject;
        EXPECT_STREQ(c.subject, outcome.failure.subject.chars());
    }
}

TEST(JavaOptions, ArgumentFilesAreExpandedWhereTheyStand)
{
    const Files files = { { "opts.txt", "--add-opens java.base/java.lang=ALL-UNNAMED\n\"-Dt=a b\" # note\n" },
                          { "path.txt", "mods" }, { "off.txt", "--disable-@files" }, { "empty.txt", "" } };
    EXPECT_EQ((Items{ "-Da", "--add-opens=java.base/java.lang=ALL-UNNAMED", "-Dt=a b", "--module-path=mods", "@x",
                      "@", "-Db" }),
              optionsOf({ "-Da", "@opts.txt", "@empty.txt", "--module-path", "@path.txt", "@@x", "@", "-Db" },
                        files));
    // Nothing is expanded after --disable-@files, not even "@@".
    EXPECT_EQ((Items{ "-Da", "@opts.txt", "@@x" }), optionsOf({ "-Da", "@off.txt", "@opts.txt", "@@x" }, files));
    EXPECT_EQ((Items{ "@opts.txt" }), optionsOf({ "--disable-@files", "@opts.txt" }, files));
    // An argument file inside an argument file is an item like any other.
    EXPECT_EQ((Items{ "@opts.txt" }), optionsOf({ "@nested.txt" }, { { "nested.txt", "@opts.txt" } }));
}

TEST(JavaOptions, AnArgumentFileThatCannotBeReadIsNamed)
{
    Outcome outcome;
    translate({ "-Da", "@missing.txt", "-version" }, outcome);
    EXPECT_FALSE(outcome.taken);
    EXPECT_EQ(kArgumentFileFormat, outcome.failure.format);
    EXPECT_STREQ("missing.txt", outcome.failure.subject.chars());
}

TEST(JavaOptions, RunningOutOfMemoryIsAFailureWithoutAFormat)
{
    const Files files = { { "opts.txt", "-Da -Db -Dc -Dd -De -Df -Dg -Dh -Di" } };
    TextList parameters;
    fill(parameters, { "-Xmx1g", "@opts.txt", "--add-modules", "java.sql", "-cp", "x.jar", "-server",
                       "-splash:s.png", "-ms8m", "-Xdiag" });
    for (long successes = 0; successes < 40; ++successes) {
        JavaOptions options;
        OptionFailure failure;
        bool taken;
        {
            AllocationFailures failures(successes);
            taken = translateJavaOptions(parameters, readFake, &files, options, failure);
        }
        if (taken)
            break;
        EXPECT_EQ(nullptr, failure.format) << successes;
    }
}

}
