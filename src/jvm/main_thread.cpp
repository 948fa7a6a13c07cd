#include "jvm/main_thread.h"

#include "common/trace.h"
#include "launcher/launcher.h"
#include "platform/platform.h"

#include <stdint.h>
#include <string.h>

namespace {

const char kStackSizeOption[] = "-Xss";

size_t parseSize(const char* text)
{
    if (*text < '0' || *text > '9')
        return 0;
    size_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        size_t digit = static_cast<size_t>(*text - '0');
        if (value > (SIZE_MAX - digit) / 10)
            return 0;
        value = value * 10 + digit;
    }
    int shift = 0;
    switch (*text | 0x20) {
    case 'k': shift = 10; break;
    case 'm': shift = 20; break;
    case 'g': shift = 30; break;
    default: return *text ? 0 : value;
    }
    if (text[1] || value > (SIZE_MAX >> shift))
        return 0;
    return value << shift;
}

struct ThreadRun {
    Launcher* launcher;
    int (*run)(Launcher&);
};

int runThere(void* argument)
{
    ThreadRun* call = static_cast<ThreadRun*>(argument);
    Launcher& launcher = *call->launcher;
    int result = call->run(launcher);
    // A thread that ends attached to the machine never ends for it: the
    // teardown's DestroyJavaVM would wait for it for good.
    if (launcher.jniEnv) {
        launcher.javaVm->DetachCurrentThread();
        launcher.jniEnv = nullptr;
    }
    return result;
}

}

size_t requestedStackSize(const TextList& options)
{
    size_t size = 0;
    for (size_t i = 0; i < options.count(); ++i)
        if (strncmp(options.at(i).chars(), kStackSizeOption, sizeof kStackSizeOption - 1) == 0)
            size = parseSize(options.at(i).chars() + sizeof kStackSizeOption - 1);
    return size;
}

int runMainOnItsThread(Launcher& launcher, int (*run)(Launcher&))
{
    size_t wanted = requestedStackSize(launcher.vmOptions);
    if (wanted > platform::currentThreadStackSize()) {
        ThreadRun call = { &launcher, run };
        int result = -1;
        if (platform::runOnNewThread(wanted, runThere, &call, result)) {
            trace("main ran on a thread with a stack of %d KiB", { static_cast<int>(wanted >> 10) });
            return result;
        }
        trace("no thread with a stack of %d KiB: main runs on the launcher's thread", { static_cast<int>(wanted >> 10) });
    }
    return run(launcher);
}
