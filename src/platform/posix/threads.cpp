#include "platform/threads.h"

#include <pthread.h>
#include <stdint.h>
#include <sys/resource.h>

namespace platform {

namespace {

struct ThreadCall {
    int (*function)(void*);
    void* argument;
    int result;
};

void* runCall(void* call)
{
    ThreadCall* c = static_cast<ThreadCall*>(call);
    c->result = c->function(c->argument);
    return nullptr;
}

}

// The launcher runs on the process's first thread, whose stack grows up to
// the stack limit.
size_t currentThreadStackSize()
{
    rlimit limit;
    if (getrlimit(RLIMIT_STACK, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > SIZE_MAX)
        return SIZE_MAX;
    return static_cast<size_t>(limit.rlim_cur);
}

bool firstThreadMayRunMachine()
{
    return false;
}

bool runOnNewThread(size_t stackSize, int (*function)(void*), void* argument, int& result)
{
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0)
        return false;
    ThreadCall call = { function, argument, 0 };
    pthread_t thread;
    bool started = (stackSize == 0 || pthread_attr_setstacksize(&attributes, stackSize) == 0)
        && pthread_create(&thread, &attributes, runCall, &call) == 0;
    pthread_attr_destroy(&attributes);
    if (!started)
        return false;
    pthread_join(thread, nullptr);
    result = call.result;
    return true;
}

}
