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

// Starts the executable again as a new process, with this process's command
// line, current directory and environment (the restart exit code); on Linux
// `executable` is the path it was started from (the file there may have been
// replaced meanwhile), on Windows the system's own UTF-16 path is used. False
// with the function that failed and its error code.
bool startExecutableAgain(const char* executable, const char*& call, int& code);
// Ends the process with the code, as the virtual machine's own exit would.
[[noreturn]] void endProcess(int code);

}
