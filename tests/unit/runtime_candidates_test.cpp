#include "common/library_processor.h"
#include "runtime/java_version.h"
#include "runtime/runtime_candidates.h"
#include "runtime/runtime_search.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

std::array<int, 5> parts(const VersionNumber& version)
{
    const int* c = version.components;
    return { c[0], c[1], c[2], c[3], version.count };
}

TEST(JavaVersion, ReadsJava8AndOlderAsSettingsFilesWriteThem)
{
    struct Case { const char* text; std::array<int, 5> expected; };
    const Case cases[] = {
        { "8.0.392.8", { 1, 8, 0, 392, 4 } }, { "17.0.15.6", { 17, 0, 15, 6, 4 } },
        { "zulu-8-jre", { 1, 8, 0, 0, 2 } }, { "zulu-17", { 17, 0, 0, 0, 1 } }, { "jdk-21", { 21, 0, 0, 0, 1 } },
        { "1.8.0_392", { 1, 8, 0, 392, 4 } }, { "1.8", { 1, 8, 0, 0, 2 } }, { "11.0.6", { 11, 0, 6, 0, 3 } },
        { "9", { 9, 0, 0, 0, 1 } }, { "2", { 1, 2, 0, 0, 2 } }, { "", { 0, 0, 0, 0, 0 } },
        { "hotspot", { 0, 0, 0, 0, 0 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, parts(javaVersion(c.text))) << c.text;

    const char* const releases[][2] = {
        { "IMPLEMENTOR=\"Eclipse Adoptium\"\nJAVA_VERSION=\"21.0.2\"\nOS_NAME=\"Windows\"\n", "21.0.2" },
        { "JAVA_VERSION=\"1.8.0_392\"\r\nOS_ARCH=\"amd64\"\r\n", "1.8.0_392" },
        { "JAVA_VERSION=17", "17" }, { "JAVA_VERSION_DATE=\"2024-01-16\"\nJAVA_VERSION=\"\"\n", "" },
    };
    for (const auto& release : releases) {
        Text version = textOf("stale");
        ASSERT_TRUE(releaseFileVersion(textOf(release[0]), version)) << release[0];
        EXPECT_STREQ(release[1], version.chars());
    }
    Text version;
    EXPECT_FALSE(releaseFileVersion(textOf("JAVA_VERSION_DATE=\"2024\"\nIMPLEMENTOR=x\n"), version));
    EXPECT_FALSE(releaseFileVersion(textOf(""), version));
}

using Bytes = std::vector<unsigned char>;

Bytes peHeaders(unsigned machine, unsigned magic)
{
    Bytes head(0x80 + 26, 0);
    head[0] = 'M', head[1] = 'Z', head[0x3C] = 0x80;
    head[0x80] = 'P', head[0x81] = 'E';
    head[0x84] = machine & 0xFF, head[0x85] = machine >> 8;
    head[0x98] = magic & 0xFF, head[0x99] = magic >> 8;
    return head;
}

Bytes elfHeader(unsigned char elfClass, unsigned machine)
{
    Bytes head = { 0x7F, 'E', 'L', 'F', elfClass, 1, 1, 0 };
    head.resize(20, 0);
    head[18] = machine & 0xFF, head[19] = machine >> 8;
    return head;
}

TEST(LibraryProcessor, ReadsTheProcessorFromPeAndElfHeaders)
{
    struct Case { const char* what; Bytes head; LibraryProcessor::Format format; unsigned code, bits; };
    const Case cases[] = {
        { "32-bit DLL", peHeaders(0x14C, 0x10B), LibraryProcessor::Format::Pe, 0x14C, 32 },
        { "64-bit DLL", peHeaders(0x8664, 0x20B), LibraryProcessor::Format::Pe, 0x8664, 64 },
        { "64-bit shared object", elfHeader(2, 62), LibraryProcessor::Format::Elf, 62, 64 },
        { "32-bit shared object", elfHeader(1, 3), LibraryProcessor::Format::Elf, 3, 32 },
    };
    for (const Case& c : cases) {
        LibraryProcessor processor = libraryProcessor(c.head.data(), c.head.size());
        EXPECT_TRUE(processor.format == c.format && processor.code == c.code && processor.bits == c.bits) << c.what;
        // Headers cut anywhere are no headers at all.
        for (size_t length = 0; length < c.head.size(); ++length)
            EXPECT_FALSE(libraryProcessor(c.head.data(), length).isKnown()) << c.what << " cut at " << length;
    }
    Bytes pointingAway = peHeaders(0x14C, 0x10B);
    pointingAway[0x3C] = 0xFF, pointingAway[0x3F] = 0xFF;
    EXPECT_FALSE(libraryProcessor(pointingAway.data(), pointingAway.size()).isKnown());
    const unsigned char text[] = "not a library at all";
    EXPECT_FALSE(libraryProcessor(text, sizeof text).isKnown());
}

// Runtime homes laid out in a temporary directory, and the records a system
// would give of them.
class Runtimes : public testing::Test {
protected:
    void SetUp() override
    {
        root_ = testing::TempDir() + "runtime_candidates_test/";
        std::system(("rm -rf '" + root_ + "' && mkdir -p '" + root_ + "'").c_str());
    }

    // A home with lib/server/libjvm.so (an ELF header for `machine`, or no
    // library at all when it is 0) and a release file naming the version.
    std::string home(const std::string& name, const char* release, unsigned machine = 62)
    {
        std::string home = root_ + name;
        std::system(("mkdir -p '" + home + "/lib/server'").c_str());
        write(home + "/lib/libjava.so", Bytes(1, 0));
        if (machine)
            write(home + "/lib/server/libjvm.so", elfHeader(2, machine));
        if (release)
            write(home + "/release", Bytes(release, release + strlen(release)));
        return home;
    }

    void record(const char* source, platform::RecordKind kind, const std::string& home, const char* name)
    {
        platform::RuntimeRecord record;
        record.source = source;
        record.kind = kind;
        ASSERT_TRUE(record.home.assign(home.c_str(), home.size()) && record.name.assign(name, strlen(name))
                    && record.location.assign(name, strlen(name)));
        ASSERT_TRUE(records_.append(static_cast<platform::RuntimeRecord&&>(record)));
    }

    // The homes (relative to the root) and versions of the candidates.
    std::vector<std::string> candidates(const char* minimum = "any", const char* maximum = "any",
                                        const char* vmLibraryKind = "")
    {
        TextList preferred;
        RuntimeRequirement requirement = { parseVersionBound(minimum, false), parseVersionBound(maximum, true),
                                           preferred, vmLibraryKind };
        CandidateList found;
        TextList passedOver;
        collectCandidates(records_, requirement, found, passedOver);
        passedOver_.clear();
        for (size_t i = 0; i < passedOver.count(); ++i) {
            std::string line = passedOver.at(i).chars();
            size_t root = line.find(root_);
            passedOver_.push_back(root == std::string::npos ? line : line.erase(root, root_.size()));
        }
        std::vector<std::string> result;
        for (size_t i = 0; i < found.count(); ++i)
            result.push_back(std::string(found.at(i).home.chars() + root_.size()) + " "
                             + formatVersion(found.at(i).version).chars());
        return result;
    }

    static void write(const std::string& path, const Bytes& bytes)
    {
        FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(nullptr, file);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }

    std::string root_;
    platform::RuntimeRecords records_;
    std::vector<std::string> passedOver_; // of the last call of candidates()
};

TEST_F(Runtimes, VersionsComeFromTheKeyNameTheReleaseFileOrBoth)
{
    using platform::RecordKind;
    std::string jre8 = home("jre8", "JAVA_VERSION=\"1.8.0_392\"\n");
    std::string jdk17 = home("jdk17", "JAVA_VERSION=\"17.0.15\"\n");
    std::string zulu = home("zulu", nullptr);
    std::string jdk8 = home("jdk8", "JAVA_VERSION=\"1.8.0_400\"\n", 0);
    home("jdk8/jre", nullptr);
    record("old key", RecordKind::Registered, jre8, "1.8");       // the name alone, as always
    record("old key", RecordKind::Registered, jre8, "1.8.0_392"); // one source may repeat a home
    record("Oracle", RecordKind::Vendor, jdk17, "17");            // the release file wins
    record("Zulu", RecordKind::Vendor, zulu, "zulu-8-jre");        // no release file: the name
    record("Adoptium", RecordKind::Vendor, jdk8, "8.0.400.7");     // a JDK 8's runtime is its jre
    record("packages", RecordKind::Installed, jdk17 + "/", "jdk17"); // Linux: release file only
    record("packages", RecordKind::Installed, zulu, "zulu");
    EXPECT_EQ((std::vector<std::string>{ "jre8/ 1.8", "jre8/ 1.8.0.392", "jdk17/ 17.0.15", "zulu/ 1.8",
                                         "jdk8/jre/ 1.8.0.400" }),
              candidates());
}

TEST_F(Runtimes, LeavesOutWhatCannotServe)
{
    using platform::RecordKind;
    std::string in = home("in", "JAVA_VERSION=\"17\"\n");
    std::string old = home("old", "JAVA_VERSION=\"1.8.0_1\"\n");
    std::string other = home("arm", "JAVA_VERSION=\"21\"\n", 183);
    std::string empty = home("empty", "JAVA_VERSION=\"21\"\n", 0);
    record("A", RecordKind::Vendor, in, "17");
    record("A", RecordKind::Vendor, old, "8");
    record("A", RecordKind::Vendor, other, "21");
    record("A", RecordKind::Vendor, empty, "21");
    record("A", RecordKind::Vendor, root_ + "gone", "21");
    record("B", RecordKind::Vendor, in + "/", "17");
    record("B", RecordKind::Vendor, old, "8");
    record("packages", RecordKind::Installed, root_ + "unversioned", "unversioned");
    EXPECT_EQ(std::vector<std::string>{ "in/ 17" }, candidates("11"));
    // Each home once, with the reason the trace gives; the candidate's
    // second source and a folder without a version are no runtimes passed over.
    EXPECT_EQ((std::vector<std::string>{ "Java 1.8.0.1 in old/: out of the range the settings ask for",
                                         "Java 21 in arm/: its VM library is built for another processor",
                                         "Java 21 in empty/: no VM library under the home",
                                         "Java 21 in gone/: no VM library under the home" }),
              passedOver_);
}

// The processor is read from the library that -client or -server loads,
// not from the first one under the home.
TEST_F(Runtimes, TheProcessorIsCheckedOnTheLibraryThatIsLoaded)
{
    std::string both = home("both", "JAVA_VERSION=\"21\"\n");
    std::system(("mkdir -p '" + both + "/lib/client'").c_str());
    write(both + "/lib/client/libjvm.so", elfHeader(2, 183));
    record("A", platform::RecordKind::Vendor, both, "21");
    EXPECT_EQ(std::vector<std::string>{ "both/ 21" }, candidates("any", "any", "server"));
    EXPECT_EQ(std::vector<std::string>{}, candidates("any", "any", "client"));
    EXPECT_EQ(std::vector<std::string>{}, candidates());
}

// A private runtime is used whatever its version, but never with a VM
// library that could not be loaded; its record holds what later steps name.
TEST_F(Runtimes, APrivateRuntimeForAnotherProcessorIsNamed)
{
    TextList preferred;
    RuntimeRequirement requirement = { parseVersionBound("99", false), parseVersionBound("any", true), preferred,
                                       "server" };
    std::string arm = home("arm", "JAVA_VERSION=\"21\"\n", 183) + "/";
    ChosenRuntime runtime;
    Failure failure;
    EXPECT_FALSE(chooseRuntime(textOf(arm), requirement, runtime, failure));
    EXPECT_EQ("Java Runtime Environment (JRE) in directory " + arm
                  + " cannot be used: its VM library is built for another processor.",
              failure.text());

    std::string own = home("own", "JAVA_VERSION=\"17.0.2\"\n") + "/";
    ChosenRuntime chosen;
    ASSERT_TRUE(chooseRuntime(textOf(own), requirement, chosen, failure));
    EXPECT_EQ(own, chosen.home.chars());
    EXPECT_EQ(own + "lib/server/libjvm.so", chosen.vmLibraryPath.chars());
    EXPECT_EQ(own + "lib/", chosen.binDirectory.chars());
    EXPECT_STREQ("17.0.2", chosen.versionText.chars());
    EXPECT_EQ(17, chosen.version.components[0]);
    EXPECT_TRUE(chosen.processorChecked);
}

// A private runtime whose paths cannot get memory stops the launch: neither a
// runtime of the system's nor a relative home ever stands in for it.
TEST_F(Runtimes, APrivateRuntimeWithoutMemoryIsNeverAnother)
{
    TextList preferred;
    RuntimeRequirement requirement = { parseVersionBound("any", false), parseVersionBound("any", true), preferred,
                                       "" };
    std::string own = home("own", "JAVA_VERSION=\"17.0.2\"\n") + "/";
    const Text directory = textOf(own);
    int outOfMemory = 0;
    for (long successes = 0; successes < 200; ++successes) {
        ChosenRuntime runtime;
        Failure failure;
        bool chosen;
        {
            AllocationFailures failures(successes);
            chosen = chooseRuntime(directory, requirement, runtime, failure);
        }
        if (chosen) {
            EXPECT_EQ(own, runtime.home.chars());
            EXPECT_EQ(own + "lib/server/libjvm.so", runtime.vmLibraryPath.chars());
            EXPECT_EQ(own + "lib/", runtime.binDirectory.chars());
            EXPECT_GT(outOfMemory, 0);
            return;
        }
        // The library's path, as every path under the home, is not found without memory.
        std::string said = failure.text();
        if (said == kOutOfMemoryMessage)
            ++outOfMemory;
        else
            EXPECT_EQ(0u, said.find("Java Virtual Machine (JVM) not found in JRE directory")) << said;
    }
    FAIL() << "never chosen";
}

}
