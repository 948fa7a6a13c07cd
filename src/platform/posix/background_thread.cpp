#include "platform/threads.h"

#include "common/memory.h"

#include <new>
#include <errno.h>
#include <pthread.h>
#include <time.h>

namespace platform {

namespace {

struct ThreadStart {
    void (*function)(void*);
    void* argument;
};

void* runStart(void* start)
{
    ThreadStart call = *static_cast<ThreadStart*>(start);
    releaseMemory(start);
    call.function(call.argument);
    return nullptr;
}

}

struct Event {
    pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
    pthread_cond_t raised = PTHREAD_COND_INITIALIZER;
    bool up = false;
};

bool startDetachedThread(void (*function)(void*), void* argument)
{
    ThreadStart* start = static_cast<ThreadStart*>(allocateMemory(sizeof(ThreadStart)));
    if (!start)
        return false;
    *start = ThreadStart { function, argument };
    pthread_t thread;
    if (pthread_create(&thread, nullptr, runStart, start) != 0) {
        releaseMemory(start);
        return false;
    }
    pthread_detach(thread);
    return true;
}

Event* newEvent()
{
    void* memory = allocateMemory(sizeof(Event));
    return memory ? new (memory) Event() : nullptr;
}

void deleteEvent(Event* event)
{
    pthread_cond_destroy(&event->raised);
    pthread_mutex_destroy(&event->mutex);
    releaseMemory(event);
}

void raiseEvent(Event* event)
{
    pthread_mutex_lock(&event->mutex);
    event->up = true;
    pthread_cond_signal(&event->raised);
    pthread_mutex_unlock(&event->mutex);
}

void waitForEvent(Event* event)
{
    pthread_mutex_lock(&event->mutex);
    while (!event->up)
        pthread_cond_wait(&event->raised, &event->mutex);
    event->up = false;
    pthread_mutex_unlock(&event->mutex);
}

unsigned long long steadyMilliseconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<unsigned long long>(now.tv_sec) * 1000u + static_cast<unsigned long long>(now.tv_nsec) / 1000000u;
}

void sleepMilliseconds(unsigned long milliseconds)
{
    timespec pause = { static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L };
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

}
