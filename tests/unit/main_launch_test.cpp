#include "jvm/java_command.h"
#include "jvm/main_thread.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

TextList listOf(std::initializer_list<const char*> items)
{
    TextList list;
    for (const char* item : items)
        EXPECT_TRUE(list.append(item));
    return list;
}

TEST(MainThread, StackSizeAsTheVmReadsXss)
{
    EXPECT_EQ(0u, requestedStackSize(listOf({})));
    EXPECT_EQ(0u, requestedStackSize(listOf({ "-Xmx16m", "-XX:ThreadStackSize=4096" })));
    EXPECT_EQ(16u << 20, requestedStackSize(listOf({ "-Xss16m" })));
    EXPECT_EQ(16u << 20, requestedStackSize(listOf({ "-Xss16M" })));
    EXPECT_EQ(512u << 10, requestedStackSize(listOf({ "-Xss512k" })));
    EXPECT_EQ(size_t(1) << 30, requestedStackSize(listOf({ "-Xss1g" })));
    EXPECT_EQ(4096u, requestedStackSize(listOf({ "-Xss4096" })));
    // The last one counts, as for the VM; one it cannot read asks for nothing.
    EXPECT_EQ(64u << 20, requestedStackSize(listOf({ "-Xss1m", "-Dx=1", "-Xss64m" })));
    for (const char* unreadable : { "-Xss", "-Xssm", "-Xss16mb", "-Xss16x", "-Xss-1m", "-Xss99999999999999999999999k" })
        EXPECT_EQ(0u, requestedStackSize(listOf({ "-Xss16m", unreadable }))) << unreadable;
}

TEST(JavaCommand, TheRunTargetThenTheArguments)
{
    Text option;
    ASSERT_TRUE(javaCommandOption(Text("com.example.Main"), listOf({}), option));
    EXPECT_STREQ("-Dsun.java.command=com.example.Main", option.chars());
    ASSERT_TRUE(javaCommandOption(Text("app/app.Main"), listOf({ "a", "two words", "" }), option));
    EXPECT_STREQ("-Dsun.java.command=app/app.Main a two words ", option.chars());
    AllocationFailures failures(0);
    Text unchanged;
    EXPECT_FALSE(javaCommandOption(Text(), listOf({}), unchanged));
}

}
