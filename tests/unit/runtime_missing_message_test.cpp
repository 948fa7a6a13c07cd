#include "config/runtime_missing_message.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

const char kOwn[] = "Java Runtime Environment (JRE) not found. Please download and install JRE (minimum 17) from: \n";

std::string messageOf(const char* text, const char* address, const PassedOverList& passedOver = PassedOverList())
{
    RuntimeMessageSettings settings;
    settings.message = Text(text);
    settings.address = Text(address);
    Failure failure;
    EXPECT_FALSE(failRuntimeNotFound(failure, settings, Text("minimum 17"), passedOver));
    EXPECT_EQ(kRuntimeNotFoundFormat, failure.format);
    return failure.text();
}

void passOver(PassedOverList& list, const char* home, const char* version, const char* reason)
{
    PassedOverRuntime runtime;
    runtime.home = Text(home);
    runtime.version = parseVersion(version, 0);
    runtime.reason = reason;
    ASSERT_TRUE(list.append(static_cast<PassedOverRuntime&&>(runtime)));
}

TEST(RuntimeMissingMessage, TheApplicationsTextAndAddressReplaceTheLaunchersOwn)
{
    EXPECT_EQ(std::string(kOwn) + "https://adoptium.net/", messageOf("", ""));
    EXPECT_EQ(std::string(kOwn) + "https://example.com/java", messageOf("", "https://example.com/java"));
    // %1 is the phrase wherever it stands; any other % is text, never a format.
    EXPECT_EQ("My App needs Java (minimum 17), 100% %s %d %2 minimum 17.\nhttps://adoptium.net/",
              messageOf("My App needs Java (%1), 100% %s %d %2 %1.", ""));
    EXPECT_EQ("Install Java minimum 17:\nhttps://example.com/java", messageOf("Install Java %1:", "https://example.com/java"));
}

TEST(RuntimeMissingMessage, NamesUpToFiveRuntimesPassedOverOneALine)
{
    PassedOverList passedOver;
    passOver(passedOver, "/usr/lib/jvm/java-11/", "11.0.21", "out of the range the settings ask for");
    passOver(passedOver, "C:\\Java\\jdk-21\\", "21.0.2", "its VM library is built for another processor");
    passOver(passedOver, "/usr/lib/jvm/broken/", "9", "no VM library under the home");
    EXPECT_EQ(std::string(kOwn) + "https://adoptium.net/\n\nFound, but not taken:"
                  "\nJava 11.0.21 in /usr/lib/jvm/java-11/: out of the range the settings ask for"
                  "\nJava 21.0.2 in C:\\Java\\jdk-21\\: its VM library is built for another processor"
                  "\nJava 9 in /usr/lib/jvm/broken/: no VM library under the home",
              messageOf("", "", passedOver));
    for (int i = 0; i < 4; ++i)
        passOver(passedOver, "/more/", "1.8", "no VM library under the home");
    EXPECT_EQ("Needs minimum 17.\nhttps://example.com/\n\nFound, but not taken:"
              "\nJava 11.0.21 in /usr/lib/jvm/java-11/: out of the range the settings ask for"
              "\nJava 21.0.2 in C:\\Java\\jdk-21\\: its VM library is built for another processor"
              "\nJava 9 in /usr/lib/jvm/broken/: no VM library under the home"
              "\nJava 1.8 in /more/: no VM library under the home"
              "\nJava 1.8 in /more/: no VM library under the home"
              "\nand 2 more (the trace names them)",
              messageOf("Needs %1.", "https://example.com/", passedOver));
}

TEST(RuntimeMissingMessage, AnAddressWithAControlCharacterIsNamed)
{
    const std::string path = testing::TempDir() + "runtime_missing_message_test.ini";
    LaunchPaths paths;
    paths.settingsPath = Text(path.c_str());
    const char* const addresses[][2] = { { "https://example.com/java", "" },
                                         { "https://example.com/\x1b[2Jjava", kAddressControlCharacterMessage },
                                         { "https://example.com/\tjava", kAddressControlCharacterMessage },
                                         { "https://example.com/\x7fjava", kAddressControlCharacterMessage } };
    for (const auto& address : addresses) {
        FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(nullptr, file);
        std::fprintf(file, "[Application]\nRuntime Missing Message=Needs %%1\nRuntime Download Address=%s\n",
                     address[0]);
        std::fclose(file);
        RuntimeMessageSettings settings;
        Failure failure;
        EXPECT_EQ(!*address[1], readRuntimeMessageSettings(paths, settings, failure)) << address[0];
        EXPECT_STREQ(address[1], failure.hasMessage() ? failure.text() : "");
        EXPECT_STREQ("Needs %1", settings.message.chars());
    }
    std::remove(path.c_str());
}

}
