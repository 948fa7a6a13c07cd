#include "common/trace.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string written;

void keepLine(const char* line, size_t length)
{
    written.append(line, length);
}

// The output is the process's: each test sets its own and takes it away.
struct TraceOutputForTest {
    TraceOutputForTest()
    {
        written.clear();
        setTraceOutput(keepLine);
    }
    ~TraceOutputForTest() { setTraceOutput(nullptr); }
};

TEST(Trace, WritesEachLineWholeToTheOutputItIsHanded)
{
    TraceOutputForTest output;
    EXPECT_TRUE(isTracing());
    trace("launch of %s with %d arguments", { "/opt/app/run", 2 });
    trace("  \"%s\"", { textOf("a b") });
    trace("no runtime found");
    EXPECT_EQ("launch of /opt/app/run with 2 arguments\n  \"a b\"\nno runtime found\n", written);
}

TEST(Trace, WithoutAnOutputMakesNoLine)
{
    {
        TraceOutputForTest output;
    }
    EXPECT_FALSE(isTracing());
    trace("exit code %d", { -1 });
    EXPECT_EQ("", written);
}

}
