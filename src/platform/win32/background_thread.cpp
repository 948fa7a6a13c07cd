#include "platform/threads.h"

#include "common/memory.h"

#include <windows.h>

namespace platform {

namespace {

struct ThreadStart {
    void (*function)(void*);
    void* argument;
};

DWORD WINAPI runStart(void* start)
{
    ThreadStart call = *static_cast<ThreadStart*>(start);
    releaseMemory(start);
    call.function(call.argument);
    return 0;
}

}

bool startDetachedThread(void (*function)(void*), void* argument)
{
    ThreadStart* start = static_cast<ThreadStart*>(allocateMemory(sizeof(ThreadStart)));
    if (!start)
        return false;
    *start = ThreadStart { function, argument };
    HANDLE thread = CreateThread(nullptr, 0, runStart, start, 0, nullptr);
    if (!thread) {
        releaseMemory(start);
        return false;
    }
    CloseHandle(thread);
    return true;
}

// An auto-reset event is exactly this.
Event* newEvent()
{
    return reinterpret_cast<Event*>(CreateEventW(nullptr, FALSE, FALSE, nullptr));
}

void deleteEvent(Event* event)
{
    CloseHandle(reinterpret_cast<HANDLE>(event));
}

void raiseEvent(Event* event)
{
    SetEvent(reinterpret_cast<HANDLE>(event));
}

void waitForEvent(Event* event)
{
    WaitForSingleObject(reinterpret_cast<HANDLE>(event), INFINITE);
}

unsigned long long steadyMilliseconds()
{
    return GetTickCount64();
}

void sleepMilliseconds(unsigned long milliseconds)
{
    Sleep(milliseconds);
}

}
