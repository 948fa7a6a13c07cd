#include "jvm/java_command.h"
#include "jvm/main_arguments.h"
#include "jvm/main_thread.h"
#include "platform/threads.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

namespace {

size_t stackSizeOf(std::initializer_list<const char*> options)
{
    TextList list;
    for (const char* option : options)
        EXPECT_TRUE(list.append(option));
    return requestedStackSize(list);
}

TEST(MainThread, StackSizeAsTheVmReadsXss)
{
    EXPECT_EQ(0u, stackSizeOf({ }));
    EXPECT_EQ(0u, stackSizeOf({ "-Xmx16m", "-XX:ThreadStackSize=4096" }));
    EXPECT_EQ(16u << 20, stackSizeOf({ "-Xss16m" }));
    EXPECT_EQ(16u << 20, stackSizeOf({ "-Xss16M" }));
    EXPECT_EQ(512u << 10, stackSizeOf({ "-Xss512k" }));
    EXPECT_EQ(size_t(1) << 30, stackSizeOf({ "-Xss1g" }));
    EXPECT_EQ(4096u, stackSizeOf({ "-Xss4096" }));
    // The last one counts, as for the VM; one it cannot read asks for nothing.
    EXPECT_EQ(64u << 20, stackSizeOf({ "-Xss1m", "-Dx=1", "-Xss64m" }));
    for (const char* unreadable : { "-Xss", "-Xssm", "-Xss16mb", "-Xss16x", "-Xss-1m", "-Xss99999999999999999999999k" })
        EXPECT_EQ(0u, stackSizeOf({ "-Xss16m", unreadable })) << unreadable;
}

// A machine a thread can only leave, answering as it is told; it counts the
// threads that leave and notes the last.
int detaches = 0;
jint detachAnswer = JNI_OK;
std::thread::id leftOn;

jint JNICALL answerDetach(JavaVM*)
{
    ++detaches;
    leftOn = std::this_thread::get_id();
    return detachAnswer;
}

struct FakeMachine {
    explicit FakeMachine(jint answer = JNI_OK)
    {
        detaches = 0;
        detachAnswer = answer;
        table.DetachCurrentThread = answerDetach;
        vm.functions = &table;
    }

    JNIInvokeInterface_ table = {};
    JavaVM vm = {};
    JNIEnv env = {};
};

TEST(MainThreadAttachment, TheThreadLeavesTheMachineOnce)
{
    FakeMachine machine;
    {
        MainThreadAttachment attachment(AttachmentEnd::LeaveWithOwner);
        attachment.attach(&machine.vm, &machine.env);
        EXPECT_EQ(JNI_OK, attachment.detach());
        EXPECT_EQ(nullptr, attachment.env());
        EXPECT_EQ(JNI_OK, attachment.detach());
    }
    EXPECT_EQ(1, detaches);
}

TEST(MainThreadAttachment, OnlyALaunchersThreadOfItsOwnLeavesAsTheOwnerGoes)
{
    FakeMachine machine;
    {
        MainThreadAttachment attachment(AttachmentEnd::LeaveWithOwner);
        attachment.attach(&machine.vm, &machine.env);
    }
    EXPECT_EQ(1, detaches);
    {
        // DestroyJavaVM takes the launcher's first thread as it is.
        MainThreadAttachment attachment(AttachmentEnd::StayForTeardown);
        attachment.attach(&machine.vm, &machine.env);
    }
    EXPECT_EQ(1, detaches);
    // No machine was created.
    { MainThreadAttachment attachment(AttachmentEnd::LeaveWithOwner); }
    EXPECT_EQ(1, detaches);
}

TEST(MainThreadAttachment, ARefusedLeaveIsTriedAgainAsTheOwnerGoes)
{
    FakeMachine machine(JNI_ERR);
    {
        MainThreadAttachment attachment(AttachmentEnd::LeaveWithOwner);
        attachment.attach(&machine.vm, &machine.env);
        EXPECT_EQ(JNI_ERR, attachment.detach());
    }
    EXPECT_EQ(2, detaches);
}

bool attachAndReturn(void* context, MainThreadAttachment& attachment)
{
    FakeMachine& machine = *static_cast<FakeMachine*>(context);
    attachment.attach(&machine.vm, &machine.env);
    return true;
}

// A thread that ends attached never ends for the machine: DestroyJavaVM
// would wait for it for good.
TEST(MainThread, TheThreadOfXssLeavesTheMachineBeforeItEnds)
{
    if (platform::currentThreadStackSize() > (64u << 20))
        GTEST_SKIP() << "this thread's stack is as large as -Xss64m asks: main would run on it";
    FakeMachine machine;
    TextList options;
    ASSERT_TRUE(options.append("-Xss64m"));
    VmLibrary library;
    library.getDefaultInitArgs = [](void* arguments) -> jint {
        static_cast<jint*>(arguments)[0] = JNI_VERSION_1_2; // as HotSpot answers; the size it leaves 0
        return JNI_OK;
    };
    EXPECT_TRUE(runMainOnItsThread(options, library, attachAndReturn, &machine));
    EXPECT_EQ(1, detaches);
    EXPECT_NE(std::this_thread::get_id(), leftOn);

    // Without -Xss main stays on the launcher's thread only where that may run the machine (Windows).
    FakeMachine withoutXss;
    EXPECT_TRUE(runMainOnItsThread(TextList(), library, attachAndReturn, &withoutXss));
    EXPECT_EQ(platform::firstThreadMayRunMachine() ? 0 : 1, detaches);
}

TEST(JavaCommand, TheRunTargetThenTheArguments)
{
    TextList arguments;
    Text option;
    ASSERT_TRUE(javaCommandOption(textOf("com.example.Main"), arguments, option));
    EXPECT_STREQ("-Dsun.java.command=com.example.Main", option.chars());
    for (const char* argument : { "a", "two words", "" })
        ASSERT_TRUE(arguments.append(argument));
    ASSERT_TRUE(javaCommandOption(textOf("app/app.Main"), arguments, option));
    EXPECT_STREQ("-Dsun.java.command=app/app.Main a two words ", option.chars());
    const Text app = textOf("app");
    AllocationFailures failures(0);
    Text unchanged;
    EXPECT_FALSE(javaCommandOption(app, arguments, unchanged));
}

std::vector<std::string> optionsAfter(std::initializer_list<const char*> parameters)
{
    TextList vmOptions;
    for (const char* parameter : parameters)
        EXPECT_TRUE(vmOptions.append(parameter));
    TextList arguments;
    EXPECT_TRUE(arguments.append("a"));
    EXPECT_TRUE(addJavaCommandOption(textOf("app.Main"), arguments, vmOptions));
    std::vector<std::string> options;
    for (size_t i = 0; i < vmOptions.count(); ++i)
        options.push_back(vmOptions.at(i).chars());
    return options;
}

TEST(JavaCommand, JavasOwnLauncherLastUnlessTheParametersNameOne)
{
    using Options = std::vector<std::string>;
    EXPECT_EQ((Options { "-Xmx1g", "-Dsun.java.command=app.Main a", "-Dsun.java.launcher=SUN_STANDARD" }),
              optionsAfter({ "-Xmx1g" }));
    EXPECT_EQ((Options { "-Dsun.java.launcher=mine", "-Dsun.java.command=app.Main a" }),
              optionsAfter({ "-Dsun.java.launcher=mine" }));
    EXPECT_EQ((Options { "-Dsun.java.command=Mine", "-Dsun.java.launcher=SUN_STANDARD" }),
              optionsAfter({ "-Dsun.java.command=Mine" }));
}

TEST(MainArguments, TheSettingsOwnFirstThenTheCommandLinesExactly)
{
    TextList fixed;
    ASSERT_TRUE(fixed.append("--main") && fixed.append("two words"));
    CommandLineArguments given;
    const char16_t units[] = { u'\u0141', u'x' };
    ASSERT_TRUE(given.append(textOf("?x"), units, 2) && given.append(textOf("plain")));
    CommandLineArguments joined;
    ASSERT_TRUE(joinMainArguments(fixed, given, joined));
    EXPECT_EQ((Items { "--main", "two words", "?x", "plain" }), itemsOf(joined.texts()));
    EXPECT_TRUE(joined.exact(0).isEmpty() && joined.exact(3).isEmpty());
    ASSERT_EQ(2u, joined.exact(2).length());
    EXPECT_EQ(u'\u0141', joined.exact(2).units()[0]);
}

}
