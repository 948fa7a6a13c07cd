#pragma once
// Runs the configured main class in the created machine.
#include "common/command_line_arguments.h"
#include "common/failure.h"
#include "common/text.h"
#include "config/main_target.h"
#include "jvm/main_thread_attachment.h"
#include "jvm/vm_output.h"

#include <jni.h>

// What main is looked up by and called with.
struct MainCall {
    const MainTarget& target;       // the main module, class or JAR
    const Text& runtimeVersion;     // the chosen runtime's version text, named when a class is too new for it
    const CommandLineArguments& arguments;
    void (*mainCalled)(void* context) = nullptr; // when set, called right before main
    void* mainCalledContext = nullptr;
};

// True once main was called, returned without an exception and the thread
// detached cleanly; false with why (an exception out of main among it). The
// machine's start ends as main is called, and the thread leaves the machine
// when main returns.
[[nodiscard]] bool invokeMainClass(MainThreadAttachment& attachment, VmStartCapture& start, const MainCall& call,
                                   Failure& failure);
