// The failure values the launch steps return instead of showing a message:
// which message, with what filled in, and that no failure goes untold.
#include "common/failure.h"
#include "config/java_options.h"
#include "config/launch_paths.h"
#include "config/settings.h"
#include "jvm/vm_creation.h"
#include "launcher/error_reporting.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kNoClassPath[] = "Java Class Path was not specified in INI file.";

TEST(Failure, KeepsTheConstantAndTheFilledText)
{
    Failure failure;
    EXPECT_FALSE(fail(failure, "Could not find the main class %s.\n", "app/Main"));
    EXPECT_STREQ("Could not find the main class %s.\n", failure.format);
    EXPECT_STREQ("Could not find the main class app/Main.\n", failure.text());

    // A message without values is shown as it is, a percent sign included.
    EXPECT_FALSE(fail(failure, "100% of %s"));
    EXPECT_STREQ("100% of %s", failure.text());

    EXPECT_FALSE(fail(failure, kWindowsExceptionFormat, "failed to get the module path", 206));
    EXPECT_STREQ("Windows exception: failed to get the module path (errno = 206).\n", failure.text());

    EXPECT_FALSE(failSilently(failure));
    EXPECT_FALSE(failure.hasMessage());
}

TEST(Failure, WithoutMemoryTheBareFormatStillSaysWhatFailed)
{
    Failure failure;
    {
        AllocationFailures none(0);
        fail(failure, "Java Virtual Machine (JVM) not found in JRE directory %s. Please reinstall JRE.", "/opt/jre/");
    }
    EXPECT_TRUE(failure.hasMessage());
    EXPECT_STREQ("Java Virtual Machine (JVM) not found in JRE directory %s. Please reinstall JRE.", failure.text());
}

TEST(Failure, IsShownOnceWhereMessagesGoAndNotAtAllWithoutOne)
{
    Failure silent;
    failSilently(silent);
    testing::internal::CaptureStderr();
    showFailure(nullptr, silent);
    EXPECT_EQ("", testing::internal::GetCapturedStderr());

    Failure failure;
    fail(failure, kJniExceptionFormat, "failed to create the Java VM");
    testing::internal::CaptureStderr();
    showFailure(nullptr, failure);
    EXPECT_EQ("JNI exception: failed to create the Java VM.\n", testing::internal::GetCapturedStderr());
}

TEST(SettingsFailures, EachMissingOrRefusedSettingGivesItsMessage)
{
    SettingsFolder folder;
    LaunchSettings settings;
    Failure failure;
    folder.write("app.ini", "[Java Runtime Environment]\nMain Class=app.Main\n");
    EXPECT_FALSE(loadSettings(folder.paths, settings, failure));
    EXPECT_STREQ(kNoClassPath, failure.text());
    // The parameters' class path is one, as for java.
    for (const char* parameters : { "-cp a.jar:b", "-Djava.class.path=a.jar:b", "--class-path=a.jar:b" }) {
        folder.write("app.ini", std::string("[Java Runtime Environment]\nMain Class=app.Main\n"
                                            "Virtual Machine Parameters=") + parameters + "\n");
        LaunchSettings fromParameters;
        EXPECT_TRUE(loadSettings(folder.paths, fromParameters, failure)) << parameters;
        EXPECT_EQ((Items { "a.jar", "b" }), itemsOf(fromParameters.classPath)) << parameters;
    }

    // Without a main class only a JAR file of the class path can name one.
    folder.write("app.ini", "[Class Path]\nClass Path=%APPDIR%/classes\n");
    LaunchSettings withoutJar;
    EXPECT_FALSE(loadSettings(folder.paths, withoutJar, failure));
    EXPECT_STREQ(kNoMainClassMessage, failure.format);

    folder.write("app.ini", "[Class Path]\nClass Path=app.jar\n[Java Runtime Environment]\nMain Class=app.Main\n"
                            "Virtual Machine Parameters=-Xmx64m -jar other.jar\n");
    LaunchSettings refused;
    EXPECT_FALSE(loadSettings(folder.paths, refused, failure));
    EXPECT_EQ(kMainJarOptionFormat, failure.format);
    EXPECT_NE(nullptr, strstr(failure.text(), "-jar"));
}

TEST(SettingsFailures, TheClassPathListIsTheOneTheMachineTakes)
{
    SettingsFolder folder;
    folder.write("app.jar", "not read here");
    folder.write("app.ini", "[Class Path]\nClass Path=%APPDIR%/app.jar:%APPDIR%/lib\n"
                            "[Java Runtime Environment]\nVirtual Machine Parameters=-cp extra.jar\n");
    LaunchSettings settings;
    Failure failure;
    ASSERT_TRUE(loadSettings(folder.paths, settings, failure));
    EXPECT_EQ((Items { folder.directory + "app.jar", folder.directory + "lib", "extra.jar" }),
              itemsOf(settings.classPath));
    EXPECT_EQ((Items { folder.directory + "app.jar" }), itemsOf(settings.mainJarCandidates));

    // The last class path option is the one the machine uses.
    folder.write("app.ini", "[Class Path]\nClass Path=app.jar\n[Java Runtime Environment]\nMain Class=a.B\n"
                            "Virtual Machine Parameters=-Djava.class.path=x.jar:y.jar\n");
    LaunchSettings overridden;
    ASSERT_TRUE(loadSettings(folder.paths, overridden, failure));
    EXPECT_EQ((Items { "x.jar", "y.jar" }), itemsOf(overridden.classPath));
    EXPECT_STREQ("a/B", overridden.mainClassName.chars());

    // A wildcard's JAR files, which the main JAR is looked for among.
    ASSERT_EQ(0, mkdir((folder.directory + "lib").c_str(), 0700));
    folder.write("lib/only.jar", "");
    folder.write("app.ini", "[Class Path]\nClass Path=%APPDIR%/lib/*\n"
                            "[Java Runtime Environment]\nVirtual Machine Parameters=-cp extra/*\n");
    LaunchSettings widened;
    ASSERT_TRUE(loadSettings(folder.paths, widened, failure));
    EXPECT_EQ((Items { folder.directory + "lib/only.jar", "extra/*" }), itemsOf(widened.classPath));
    EXPECT_EQ((Items { folder.directory + "lib/only.jar" }), itemsOf(widened.mainJarCandidates));
    EXPECT_EQ("-Djava.class.path=" + folder.directory + "lib/only.jar:extra/*", widened.vmOptions.at(0).chars());
}

TEST(SettingsFailures, NoFailureForWantOfMemoryGoesUntold)
{
    SettingsFolder folder;
    folder.write("app.jar", "");
    folder.write("app.ini", "[Class Path]\nClass Path=%APPDIR%/app.jar\n[Java Runtime Environment]\n"
                            "Virtual Machine Parameters=-Xmx64m --add-modules java.sql -cp x.jar\n"
                            "Preferred versions=17;21\n");
    int failed = 0;
    for (long successes = 0; successes < 400; ++successes) {
        LaunchSettings settings;
        Failure failure;
        bool loaded;
        {
            AllocationFailures failures(successes);
            loaded = loadSettings(folder.paths, settings, failure);
        }
        if (loaded) {
            EXPECT_GT(failed, 10);
            return;
        }
        ++failed;
        EXPECT_TRUE(failure.hasMessage()) << "after " << successes << " allocations";
    }
    FAIL() << "never loaded";
}

TEST(LaunchPaths, AreTheExecutablesOwn)
{
    LaunchPaths paths;
    Failure failure;
    ASSERT_TRUE(findLaunchPaths(paths, failure));
    std::string path = paths.executablePath.chars();
    std::string directory = paths.directory.chars();
    EXPECT_EQ(path.substr(0, path.rfind('/') + 1), directory);
    EXPECT_EQ(path.substr(path.rfind('/') + 1), paths.applicationName.chars());
    EXPECT_EQ(path + ".ini", paths.settingsPath.chars());
}

// Without memory for the executable's directory or name the launch stops and
// says so: an empty directory would make the settings' paths relative.
TEST(LaunchPaths, WithoutMemoryAreOutOfMemoryNeverEmpty)
{
    int outOfMemory = 0;
    for (long successes = 0; successes < 100; ++successes) {
        LaunchPaths paths;
        Failure failure;
        bool found;
        {
            AllocationFailures failures(successes);
            found = findLaunchPaths(paths, failure);
        }
        if (found) {
            EXPECT_FALSE(paths.directory.isEmpty());
            EXPECT_FALSE(paths.applicationName.isEmpty());
            EXPECT_GT(outOfMemory, 0);
            return;
        }
        if (failure.hasMessage() && std::string(failure.text()) == kOutOfMemoryMessage)
            ++outOfMemory;
    }
    FAIL() << "never found";
}

TEST(VmLibraryFailures, NameTheLibraryAndTheLoadersReason)
{
    VmLibrary library;
    Failure failure;
    EXPECT_FALSE(loadVmLibrary(textOf("/nonexistent/lib/server/libjvm.so"), Text(), library, failure));
    EXPECT_EQ(0u, std::string(failure.text()).find("Failed to load Java VM library: /nonexistent/lib/server/libjvm.so ("));

    // A library that is no VM library.
    EXPECT_FALSE(loadVmLibrary(textOf("libm.so.6"), Text(), library, failure));
    EXPECT_EQ(0u, std::string(failure.text()).find("Cannot find CreateJavaVM JNI: "));
}

}
