#include "platform/background_thread.h"

#include "common/memory.h"

#include <new>
#include <pthread.h>

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

}
