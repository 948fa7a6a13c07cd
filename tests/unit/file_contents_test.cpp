#include "common/growing_buffer.h"
#include "platform/files.h"
#include "platform/posix/file_contents.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Nothing but a regular file is read, and nothing waits: a FIFO without a
// writer, a device without end and a directory all read as missing files.
TEST(FileContents, ReadsRegularFilesOnlyAndNeverBlocks)
{
    const std::string base = testing::TempDir() + "file_contents_test.";
    const std::string regular = base + "txt", fifo = base + "fifo", zero = base + "zero";
    std::remove(fifo.c_str());
    std::remove(zero.c_str());
    FILE* file = std::fopen(regular.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    std::fputs("JAVA_VERSION=\"17\"\n", file);
    std::fclose(file);
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    ASSERT_EQ(0, symlink("/dev/zero", zero.c_str()));

    Text contents = textOf("stale");
    FileIdentity identity, again;
    ASSERT_TRUE(readRegularFile(regular.c_str(), contents, identity));
    EXPECT_STREQ("JAVA_VERSION=\"17\"\n", contents.chars());
    ASSERT_TRUE(regularFileIdentity(regular.c_str(), again));
    EXPECT_TRUE(identity == again);
    for (const std::string& path : { fifo, zero, testing::TempDir(), base + "missing" }) {
        contents = textOf("stale");
        EXPECT_FALSE(readRegularFile(path.c_str(), contents, again)) << path;
        EXPECT_TRUE(contents.isEmpty()) << path;
        EXPECT_FALSE(regularFileIdentity(path.c_str(), again)) << path;
    }
    for (const std::string& path : { regular, fifo, zero })
        std::remove(path.c_str());
}

// A file too large is refused by its size, before anything is read; what
// is not a regular file is refused without waiting.
TEST(FileContents, ReadsRunsOfARegularFileWhoseSizeIsAllowed)
{
    const std::string regular = testing::TempDir() + "file_runs_test.txt", fifo = regular + ".fifo";
    FILE* file = std::fopen(regular.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    std::fputs("0123456789", file);
    std::fclose(file);
    std::remove(fifo.c_str());
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    auto keep = [](const char* bytes, size_t length, void* context) {
        static_cast<std::string*>(context)->append(bytes, length);
        return true;
    };
    std::string read;
    EXPECT_EQ(platform::FileReading::TooLarge, platform::readFileInRuns(regular.c_str(), 9, keep, &read));
    EXPECT_EQ(platform::FileReading::Done, platform::readFileInRuns(regular.c_str(), 10, keep, &read));
    EXPECT_EQ("0123456789", read);
    for (const std::string& path : { fifo, std::string("/dev/zero"), testing::TempDir() })
        EXPECT_EQ(platform::FileReading::CannotRead, platform::readFileInRuns(path.c_str(), 10, keep, &read)) << path;
    std::remove(regular.c_str());
    std::remove(fifo.c_str());
}

TEST(GrowingBuffer, DoublesUntilTheTextFitsOrALimitIsReached)
{
    std::vector<size_t> sizes;
    auto fillWith = [&](size_t length) {
        return [&sizes, length](char* buffer, size_t size, size_t& filled) {
            sizes.push_back(size);
            filled = length < size ? length : size;
            for (size_t i = 0; i < filled; ++i)
                buffer[i] = static_cast<char>('a' + i % 26);
            return length < size ? FillResult::Complete : FillResult::TooSmall;
        };
    };
    Text text;
    EXPECT_EQ(GrowResult::Complete, fillGrowingBuffer(4, 64, text, fillWith(9)));
    EXPECT_EQ((std::vector<size_t>{ 4, 8, 16 }), sizes);
    EXPECT_STREQ("abcdefghi", text.chars());

    sizes.clear();
    EXPECT_EQ(GrowResult::TooLarge, fillGrowingBuffer(4, 16, text, fillWith(16)));
    EXPECT_EQ((std::vector<size_t>{ 4, 8, 16 }), sizes);
    EXPECT_EQ(GrowResult::Failed, fillGrowingBuffer(4, 16, text, [](char*, size_t, size_t&) {
        return FillResult::Failed;
    }));
    EXPECT_STREQ("abcdefghi", text.chars());
    {
        AllocationFailures failures(1); // the second buffer cannot be had
        EXPECT_EQ(GrowResult::NoMemory, fillGrowingBuffer(4, 64, text, fillWith(9)));
    }
}

}
