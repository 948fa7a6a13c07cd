#include "test_support.h"
#include "config/runtime_missing_message.h"
#include "runtime/runtime_search.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

const char kOwn[] = "Java Runtime Environment (JRE) not found. Please download and install JRE (minimum 17) from: \n";

std::string messageOf(const char* text, const char* address, const TextList& passedOver = TextList())
{
    return runtimeNotFoundMessage(textOf(text), textOf(address), textOf("minimum 17"), passedOver).chars();
}

void passOver(TextList& list, const char* home, const char* version, const char* reason)
{
    ASSERT_TRUE(list.append((std::string("Java ") + version + " in " + home + ": " + reason).c_str()));
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

TEST(RuntimeMissingMessage, NamesAtMostFiveRuntimesPassedOverOneALine)
{
    TextList passedOver;
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
              "\nJava 1.8 in /more/: no VM library under the home",
              messageOf("Needs %1.", "https://example.com/", passedOver));
}

TEST(RuntimeMissingMessage, TheSettingsAreReadAndAnAddressWithAControlCharacterIsNamed)
{
    const std::string path = testing::TempDir() + "runtime_missing_message_test.ini";
    LaunchPaths paths;
    paths.settingsPath = textOf(path.c_str());
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
        Failure failure;
        EXPECT_EQ(!*address[1], checkRuntimeDownloadAddress(paths, failure)) << address[0];
        EXPECT_STREQ(address[1], failure.hasMessage() ? failure.text() : "");
        if (!*address[1]) {
            EXPECT_FALSE(failRuntimeNotFound(failure, paths, textOf("minimum 17"), TextList()));
            EXPECT_EQ(kRuntimeNotFoundFormat, failure.format);
            EXPECT_EQ(std::string("Needs minimum 17\n") + address[0], failure.text());
        }
    }
    std::remove(path.c_str());
}

}
