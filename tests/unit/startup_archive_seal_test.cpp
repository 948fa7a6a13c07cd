#include "jvm/startup_archive_seal.h"
#include "jvm/startup_cache.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string header(unsigned magic, unsigned length)
{
    std::string bytes(16, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>(magic >> (8 * i));
        bytes[12 + i] = static_cast<char>(length >> (8 * i));
    }
    return bytes;
}

void writeFile(const std::string& path, const std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// The runtime writes a dynamic archive's header last: a file whose start is
// not one, or whose header claims more than the file holds, was never finished.
TEST(StartupArchiveSeal, OnlyAWholeDynamicArchiveHeaderCounts)
{
    EXPECT_TRUE(isWholeArchiveHeader(textOf(header(0xf00baba8u, 1008)), 4096));
    EXPECT_TRUE(isWholeArchiveHeader(textOf(header(0xf00baba8u, 1008)), 1008));
    EXPECT_FALSE(isWholeArchiveHeader(textOf(header(0xf00baba8u, 1008)), 1007));
    EXPECT_FALSE(isWholeArchiveHeader(textOf(header(0xf00baba2u, 1008)), 4096)); // a runtime's base archive
    EXPECT_FALSE(isWholeArchiveHeader(textOf(std::string(16, '\0')), 4096));
    EXPECT_FALSE(isWholeArchiveHeader(textOf(header(0xf00baba8u, 1008).substr(0, 15)), 4096));
    EXPECT_FALSE(isWholeArchiveHeader(textOf(header(0xf00baba8u, 8)), 4096));
}

TEST(StartupArchiveSeal, EveryFactAndEveryPartOfTheStampChangesTheSeal)
{
    platform::FileStamp stamp;
    stamp.size = 4096;
    stamp.written = 1;
    stamp.changed = 2;
    stamp.serial = 3;
    stamp.volume = 4;
    Text sealed = sealText(42, stamp);
    EXPECT_EQ(std::string("startup archive "), std::string(sealed.chars(), 16));
    EXPECT_EQ(33u, sealed.length());
    EXPECT_STREQ(sealed.chars(), sealText(42, stamp).chars());
    EXPECT_STRNE(sealed.chars(), sealText(43, stamp).chars());
    for (unsigned long long platform::FileStamp::*field : { &platform::FileStamp::size, &platform::FileStamp::written,
                                                           &platform::FileStamp::changed, &platform::FileStamp::serial,
                                                           &platform::FileStamp::volume }) {
        platform::FileStamp other = stamp;
        other.*field += 1;
        EXPECT_STRNE(sealed.chars(), sealText(42, other).chars());
    }
}

TEST(StartupArchiveSeal, LogOptionsAloneLeaveTheFactsAsTheyAre)
{
    TextList plain, logged, other;
    ASSERT_TRUE(plain.append("-Djava.class.path=app.jar") && plain.append("-Xmx64m"));
    ASSERT_TRUE(logged.append("-Djava.class.path=app.jar") && logged.append("-Xlog:class+load:file=x.log")
                && logged.append("-Xmx64m") && logged.append("-verbose:gc"));
    ASSERT_TRUE(other.append("-Djava.class.path=app.jar") && other.append("-Xmx128m"));
    ArchiveHash first, second, third;
    first.addOptions(plain);
    second.addOptions(logged);
    third.addOptions(other);
    EXPECT_EQ(first.value(), second.value());
    EXPECT_NE(first.value(), third.value());
}

// A seal is written only for a finished archive, and matches only while the
// archive stays as it was and the facts are the same.
TEST(StartupArchiveSeal, MatchesOnlyTheArchiveItWasWrittenFor)
{
    const std::string archive = testing::TempDir() + "startup_archive_seal_test.jsa";
    const std::string seal = archive + ".seal";
    std::remove(seal.c_str());
    writeFile(archive, std::string(16, '\0') + std::string(2000, 'x'));
    EXPECT_FALSE(writeSeal(archive.c_str(), seal.c_str(), 7));
    EXPECT_FALSE(platform::fileExists(seal.c_str()));

    writeFile(archive, header(0xf00baba8u, 1008) + std::string(2000, 'x'));
    ASSERT_TRUE(writeSeal(archive.c_str(), seal.c_str(), 7));
    EXPECT_TRUE(archiveMatchesSeal(archive.c_str(), seal.c_str(), 7));
    EXPECT_FALSE(archiveMatchesSeal(archive.c_str(), seal.c_str(), 8));
    ASSERT_TRUE(writeSeal(archive.c_str(), seal.c_str(), 7)); // written again, not appended
    EXPECT_TRUE(archiveMatchesSeal(archive.c_str(), seal.c_str(), 7));

    writeFile(archive, header(0xf00baba8u, 1008) + std::string(1999, 'x'));
    EXPECT_FALSE(archiveMatchesSeal(archive.c_str(), seal.c_str(), 7));
    std::remove(archive.c_str());
    EXPECT_FALSE(archiveMatchesSeal(archive.c_str(), seal.c_str(), 7));
    std::remove(seal.c_str());
}

// The runtime makes the archive as the umask says; a seal is never written
// through a link, dangling or not.
TEST(StartupArchiveSeal, SealsAnArchiveNoOneElseMayWriteBesideNoLink)
{
    const std::string archive = testing::TempDir() + "startup_archive_seal_link_test.jsa";
    const std::string seal = archive + ".seal", target = archive + ".target";
    std::remove(seal.c_str());
    std::remove(target.c_str());
    writeFile(archive, header(0xf00baba8u, 1008) + std::string(2000, 'x'));
    ASSERT_EQ(0, chmod(archive.c_str(), 0666));
    ASSERT_EQ(0, symlink(target.c_str(), seal.c_str()));
    ASSERT_TRUE(writeSeal(archive.c_str(), seal.c_str(), 7));
    struct stat status;
    EXPECT_TRUE(lstat(seal.c_str(), &status) == 0 && S_ISREG(status.st_mode));
    EXPECT_TRUE(stat(archive.c_str(), &status) == 0 && (status.st_mode & 0777) == 0644);
    EXPECT_FALSE(platform::fileExists(target.c_str()));
    EXPECT_TRUE(archiveMatchesSeal(archive.c_str(), seal.c_str(), 7));
    std::remove(archive.c_str());
    std::remove(seal.c_str());
}

TEST(StartupArchiveSeal, ApplicationsOfOneNameInTwoFoldersGetTwoArchives)
{
    Text first = startupArchiveName(textOf("/jdk"), textOf("25.0.1"), textOf("/opt/one/"), 25);
    Text second = startupArchiveName(textOf("/jdk"), textOf("25.0.1"), textOf("/opt/two/"), 25);
    EXPECT_EQ(19u, first.length());
    EXPECT_EQ(0, std::string(first.chars()).rfind("java25-", 0));
    EXPECT_STRNE(first.chars(), second.chars());
    EXPECT_STREQ(first.chars(), startupArchiveName(textOf("/jdk"), textOf("25.0.1"), textOf("/opt/one/"), 25).chars());
    EXPECT_STRNE(first.chars(), startupArchiveName(textOf("/jdk"), textOf("25.0.2"), textOf("/opt/one/"), 25).chars());
}

}
