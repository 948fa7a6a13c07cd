#pragma once
// The process: the handle of its instance, the launch its entry runs, the
// services a launch needs started and shut down, the arguments it was given
// and its environment.
#include "common/command_line_arguments.h"
#include "common/text.h"

#include <stddef.h>

namespace platform {

using InstanceHandle = void*;

}

// The launch, which the process's entry (win32/entry.cpp, posix/entry.cpp)
// runs and whose exit code it ends with; the launch sequence implements it.
int launchMain(platform::InstanceHandle instance);

namespace platform {

// The process-wide services a launch needs: the system's locale for
// characters, and on Windows a COM apartment, the common controls and the
// window framework. Each has its start, false with the system's code (an
// HRESULT on Windows) when it did not start, and its stop, null when there
// is nothing to undo.
enum class StartUpFailure { None, Apartment, WindowFramework };
struct PlatformService {
    StartUpFailure failure; // what it is when it does not start
    bool (*start)(InstanceHandle instance, long& errorCode);
    void (*stop)();
};
// This platform's, in the order they start; the last has no start.
extern const PlatformService kPlatformServices[];

// Starts the services in order up to the first that does not start (which
// failed, and its code), and stops those that started, the last first, when
// the owner goes: never one that did not start.
class StartedPlatform {
public:
    explicit StartedPlatform(InstanceHandle instance, const PlatformService* services = kPlatformServices)
        : services_(services)
    {
        for (; services[started_].start; ++started_) {
            if (!services[started_].start(instance, errorCode)) {
                failure = services[started_].failure;
                break;
            }
        }
    }
    StartedPlatform(const StartedPlatform&) = delete;
    StartedPlatform& operator=(const StartedPlatform&) = delete;
    ~StartedPlatform()
    {
        while (started_ > 0) {
            if (void (*stop)() = services_[--started_].stop)
                stop();
        }
    }

    long errorCode = 0;
    StartUpFailure failure = StartUpFailure::None;

private:
    const PlatformService* services_;
    size_t started_ = 0;
};

// The arguments after the program's own path, split as the system's
// launcher conventions say, each with its exact UTF-16 where the system gives
// the command line in UTF-16 and its text in the code page is not exact;
// false when one could not get memory.
[[nodiscard]] bool commandLineArguments(CommandLineArguments& arguments);

// The value of an environment variable; false when it is not set.
bool environmentVariable(const char* name, Text& value);
// Sets the variable for this process and the programs it starts, or removes
// it when the value is null; false when the system refuses.
bool setEnvironmentVariable(const char* name, const char* value);

// Starts the executable again as a new process, with this process's command
// line, current directory and environment (the restart exit code); on Linux
// `executable` is the path it was started from (the file there may have been
// replaced meanwhile), on Windows the system's own UTF-16 path is used. False
// with the function that failed and its error code.
bool startExecutableAgain(const char* executable, const char*& call, int& code);
// Ends the process with the code, as the virtual machine's own exit would;
// also from within the exit handlers of runAtExit.
[[noreturn]] void endProcess(int code);
// Has the function called with the exit code when the process ends through
// exit(), as HotSpot ends it at System.exit (after its own exit hook), on
// Linux, where the machine shares the launcher's C library; false where that
// cannot be (Windows: the machine's C runtime is not the launcher's), and
// the machine's exit hook must serve. At most one function.
bool runAtExit(void (*function)(int code));

}
