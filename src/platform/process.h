#pragma once
// The process: the handle of its instance, the launch its entry runs, the
// services a launch needs started and shut down, the arguments it was given
// and its environment.
#include "common/command_line_arguments.h"
#include "common/text.h"

namespace platform {

using InstanceHandle = void*;

}

// The launch, which the process's entry (win32/entry.cpp, posix/entry.cpp)
// runs and whose exit code it ends with; the launch sequence implements it.
int launchMain(platform::InstanceHandle instance);

namespace platform {

// Start-up of the process-wide services a launch needs: the system's locale
// for characters, and on Windows a COM apartment, the common controls and the
// window framework. On a failure, which step failed and its code (an HRESULT
// on Windows). shutDown() runs after the launch, whatever startUp() gave.
enum class StartUpFailure { None, Apartment, WindowFramework };
StartUpFailure startUp(InstanceHandle instance, long& errorCode);
void shutDown();

// Starts them up, and shuts them down when the owner goes.
struct StartedPlatform {
    explicit StartedPlatform(InstanceHandle instance) : failure(startUp(instance, errorCode)) {}
    StartedPlatform(const StartedPlatform&) = delete;
    StartedPlatform& operator=(const StartedPlatform&) = delete;
    ~StartedPlatform() { shutDown(); }

    long errorCode = 0;
    StartUpFailure failure;
};

// The arguments after the program's own path, split as the system's
// launcher conventions say, each with its exact UTF-16 where the system gives
// the command line in UTF-16 and its text in the code page is not exact;
// false when one could not get memory.
[[nodiscard]] bool commandLineArguments(CommandLineArguments& arguments);

// The value of an environment variable; false when it is not set.
bool environmentVariable(const char* name, Text& value);

// Has the function called with the exit code when the process ends through
// exit(), as HotSpot ends it at System.exit (after its own exit hook), on
// Linux, where the machine shares the launcher's C library; false where that
// cannot be (Windows: the machine's C runtime is not the launcher's), and
// the machine's exit hook must serve. At most one function.
bool runAtExit(void (*function)(int code));

}
