#include "config/main_target.h"
#include "config/settings.h"
#include "test_support.h"
#include "zip_samples.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The settings' main module, class or JAR, as the launch resolves it.
struct Resolved {
    MainTarget target;
    LaunchSettings settings;
};

void resolve(SettingsFolder& folder, const std::string& settings, Resolved& resolved)
{
    folder.write("app.ini", settings);
    Failure failure;
    ASSERT_TRUE(loadSettings(folder.paths, resolved.settings, failure)) << settings;
    ASSERT_TRUE(findMainTarget(resolved.settings, resolved.target)) << settings;
}

std::string textOf(const Text& text)
{
    return std::string(text.chars(), text.length());
}

TEST(MainTarget, AModuleIsNamedAsJavaMTakesItAndRunsTheClassItNames)
{
    struct Case {
        const char* settings;
        const char* name;     // as java -m takes it: sun.java.command, the runtime's launcher helper
        bool namesClass;
        const char* className; // what FindClass is given where the runtime has no helper
    } cases[] = {
        { "Main Module=app/x.y.Main\nMain Class=other.Main\n", "app/x.y.Main", true, "x/y/Main" },
        { "Main Module=app\nMain Class=a.B\n", "app/a.B", true, "a/B" },
        { "Main Module=app\n", "app", false, "" },
        { "Main Module=app/\nMain Class=a.B\n", "app/", true, "" },
        { "Main Module=app/a/b.C\n", "app/a/b.C", true, "a/b/C" },
    };
    for (const Case& c : cases) {
        SettingsFolder folder;
        Resolved resolved;
        resolve(folder, std::string("[Java Runtime Environment]\n") + c.settings, resolved);
        const MainTarget& target = resolved.target;
        EXPECT_TRUE(target.kind == MainKind::Module) << c.settings;
        EXPECT_EQ(textOf(target.name), c.name) << c.settings;
        EXPECT_EQ(target.namesClass, c.namesClass) << c.settings;
        EXPECT_EQ(textOf(target.className), c.className) << c.settings;
        EXPECT_EQ(itemsOf(resolved.settings.vmOptions), Items { "-Djdk.module.main=app" }) << c.settings;
    }
}

TEST(MainTarget, AClassIsFoundWithSlashesAndNamedWithDots)
{
    for (const char* written : { "com.example.Main", "com/example.Main" }) {
        SettingsFolder folder;
        Resolved resolved;
        resolve(folder, std::string("[Class Path]\nClass Path=app.jar\n[Java Runtime Environment]\nMain Class=")
                    + written + "\n", resolved);
        const MainTarget& target = resolved.target;
        EXPECT_TRUE(target.kind == MainKind::Class && target.namesClass) << written;
        EXPECT_EQ(textOf(target.className), "com/example/Main") << written;
        EXPECT_EQ(textOf(target.javaClassName), "com.example.Main") << written;
        EXPECT_EQ(textOf(target.name), "com.example.Main") << written;
    }
}

// The JAR that runs is the one tools name and whose splash shows: the first
// that names a Main-Class, not merely the first of the class path.
TEST(MainTarget, TheMainJarIsTheFirstJarThatNamesAMainClass)
{
    SettingsFolder folder;
    folder.write("lib.jar", "not a ZIP file");
    folder.write("stored.jar", std::string(reinterpret_cast<const char*>(kStoredZip), sizeof kStoredZip));
    folder.write("deflated.jar", std::string(reinterpret_cast<const char*>(kDeflatedZip), sizeof kDeflatedZip));
    struct Case {
        const char* classPath;
        MainKind kind;
        const char* name;
        const char* image;
    } cases[] = {
        { "lib.jar:deflated.jar", MainKind::Jar, "deflated.jar",
          "images/a-splash-image-with-a-name-longer-than-one-line-holds.png" },
        { "lib.jar:stored.jar:deflated.jar", MainKind::Jar, "stored.jar", "" },
        // None names one: the launch fails once the machine runs, and tools
        // name the first JAR file meanwhile, as they always did.
        { "lib.jar", MainKind::None, "lib.jar", "" },
    };
    for (const Case& c : cases) {
        std::string classPath = c.classPath;
        for (size_t colon = classPath.find(':'); colon != std::string::npos; colon = classPath.find(':', colon + 1))
            classPath.insert(colon + 1, folder.directory);
        Resolved resolved;
        resolve(folder, "[Class Path]\nClass Path=" + folder.directory + classPath, resolved);
        const MainTarget& target = resolved.target;
        EXPECT_TRUE(target.kind == c.kind) << c.classPath;
        EXPECT_EQ(textOf(target.name), folder.directory + c.name) << c.classPath;
        EXPECT_EQ(textOf(target.jarSplashImage), c.image) << c.classPath;
        EXPECT_FALSE(target.namesClass) << c.classPath;
    }
}

}
