#include "jvm/main_thread.h"

#include "common/trace.h"
#include "platform/threads.h"

#include <stdint.h>

namespace {

const char kStackSizeOption[] = "-Xss";
// Less than java's launcher gives a machine's first thread: the machine must
// live long enough to refuse a smaller -Xss itself.
const size_t kSmallestStack = 64 << 10;

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
    MainRunFunction run;
    void* context;
};

int runThere(void* argument)
{
    ThreadRun* call = static_cast<ThreadRun*>(argument);
    MainThreadAttachment attachment(AttachmentEnd::LeaveWithOwner);
    return call->run(call->context, attachment) ? 1 : 0;
}

}

size_t requestedStackSize(const TextList& options)
{
    size_t size = 0;
    for (size_t i = 0; i < options.count(); ++i)
        if (options.at(i).startsWith(kStackSizeOption))
            size = parseSize(options.at(i).chars() + sizeof kStackSizeOption - 1);
    return size;
}

bool runMainOnItsThread(const TextList& vmOptions, const VmLibrary& library, MainRunFunction run, void* context)
{
    size_t wanted = requestedStackSize(vmOptions);
    bool newThread = wanted > platform::currentThreadStackSize();
    if (!platform::firstThreadMayRunMachine()) {
        newThread = true;
        if (wanted == 0)
            wanted = defaultThreadStackSize(library);
        else if (wanted < kSmallestStack)
            wanted = kSmallestStack;
    }
    if (newThread) {
        ThreadRun call = { run, context };
        int result = 0;
        if (platform::runOnNewThread(wanted, runThere, &call, result)) {
            trace("main ran on a thread with a stack of %d KiB", { static_cast<int>(wanted >> 10) });
            return result != 0;
        }
        trace("no thread with a stack of %d KiB: main runs on the launcher's thread", { static_cast<int>(wanted >> 10) });
    }
    MainThreadAttachment attachment(AttachmentEnd::StayForTeardown);
    return run(context, attachment);
}
