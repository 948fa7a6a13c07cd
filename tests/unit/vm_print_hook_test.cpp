#include "common/output_tail.h"
#include "common/text.h"
#include "jvm/vm_output.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <stdarg.h>
#include <stdio.h>

#include <string>
#include <thread>
#include <vector>

namespace {

jint print(FILE* stream, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    jint written = vmPrintHook(stream, format, arguments);
    va_end(arguments);
    return written;
}

// A start of the machine, as the launch sequence begins and ends it.
struct VmStartScope {
    VmStartScope() { capture.begin({ nullptr, nullptr }, nullptr); }
    VmStartCapture capture;
};

// What the hook passed on to the stream, read back.
struct CapturedStream {
    CapturedStream() : file(tmpfile()) {}
    CapturedStream(const CapturedStream&) = delete;
    ~CapturedStream() { fclose(file); }

    std::string contents() const
    {
        fflush(file);
        rewind(file);
        std::string text;
        char buffer[65536];
        size_t got;
        while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, got);
        return text;
    }

    FILE* file;
};

std::string kept()
{
    Text text;
    EXPECT_TRUE(appendVmPrinted(text));
    return std::string(text.chars(), text.length());
}

const int kThreads = 4;
const int kLinesEach = 4000;
// Lines of up to half the tail's bound (a class path echoed), so that the
// tail wraps every few lines.
const std::string kFilling(OutputTail::kBound / 2, 'x');

int fillingOf(int thread, int line)
{
    return (line * 7919 + thread * 131) % static_cast<int>(kFilling.size());
}

std::string lineOf(int thread, int line)
{
    return std::to_string(thread) + " " + std::to_string(line) + " " + kFilling.substr(0, fillingOf(thread, line)) + "\n";
}

// The machine prints from several threads at once, each to its stream: a
// writer to standard output and one to standard error are in the hook
// together.
TEST(VmPrintHook, ThreadsPrintingAtOnceKeepWholeLines)
{
    FILE* nowhere = fopen("/dev/null", "w");
    ASSERT_NE(nullptr, nowhere);
    std::vector<int> wrong(kThreads);
    {
        VmStartScope start;
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([nowhere, &wrong, t] {
                for (int line = 0; line < kLinesEach; ++line) {
                    jint printed = print(nowhere, "%d %d %.*s\n", t, line, fillingOf(t, line), kFilling.c_str());
                    wrong[t] += printed != static_cast<jint>(lineOf(t, line).size());
                }
            });
        for (std::thread& thread : threads)
            thread.join();
    }
    fclose(nowhere);
    EXPECT_EQ(std::vector<int>(kThreads), wrong);

    std::string tail = kept();
    ASSERT_EQ(OutputTail::kBound, tail.size());
    ASSERT_EQ('\n', tail.back());
    // After the first, cut line, each is one a thread printed, whole.
    for (size_t at = tail.find('\n') + 1, end; at < tail.size(); at = end + 1) {
        end = tail.find('\n', at);
        int thread = -1, line = -1;
        ASSERT_EQ(2, sscanf(tail.c_str() + at, "%d %d", &thread, &line)) << tail.substr(at, 40);
        EXPECT_TRUE(lineOf(thread, line) == tail.substr(at, end + 1 - at)) << tail.substr(at, 40);
    }
}

// All the flags, a long option echoed: however long, the text reaches the
// stream whole, and the tail keeps its end.
TEST(VmPrintHook, ALongPrintIsPassedOnWhole)
{
    CapturedStream output;
    ASSERT_NE(nullptr, output.file);
    std::string text(OutputTail::kBound + 70000, 'f');
    text.replace(0, 6, "begin ");
    text.replace(text.size() - 4, 4, "end\n");
    VmStartScope start;
    EXPECT_EQ(static_cast<jint>(text.size()), print(output.file, "%s", text.c_str()));
    EXPECT_TRUE(text == output.contents());
    EXPECT_TRUE(text.substr(text.size() - OutputTail::kBound) == kept());
}

TEST(VmPrintHook, WithoutMemoryTheTextStillReachesTheStream)
{
    CapturedStream output;
    ASSERT_NE(nullptr, output.file);
    VmStartScope start;
    {
        AllocationFailures failures(0);
        EXPECT_EQ(35, print(output.file, "Unrecognized VM option '%s'\n", "UseFooBar"));
    }
    EXPECT_EQ("Unrecognized VM option 'UseFooBar'\n", output.contents());
    EXPECT_EQ("", kept());
}

// A start that fails before main is called ends as its owner goes: what the
// machine prints afterwards (its teardown, the application's threads) is not
// kept.
TEST(VmStartCapture, EndsAsItsOwnerGoesWhenMainWasNeverCalled)
{
    FILE* nowhere = fopen("/dev/null", "w");
    ASSERT_NE(nullptr, nowhere);
    {
        VmStartScope start;
        print(nowhere, "during the start\n");
    }
    print(nowhere, "after it\n");
    fclose(nowhere);
    EXPECT_EQ("during the start\n", kept());
}

jint exitCode = 0;

void JNICALL noteExit(jint code)
{
    exitCode = code;
}

// The startup cache's hook seals the archive when the application calls
// System.exit, long after main was called.
TEST(VmStartCapture, TheChainedExitHookOutlivesTheStart)
{
    {
        VmStartCapture start;
        start.begin({ nullptr, nullptr }, noteExit);
        start.end();
    }
    vmExitHook(3);
    EXPECT_EQ(3, exitCode);
}

}
