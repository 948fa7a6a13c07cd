#pragma once
// Threads, and the locks for what several of them share.
// Lock: the build takes this header from posix/types/ or win32/types/.
#include "common/unique_handle.h"
#include "platform_types.h"

#include <stddef.h>

namespace platform {

// Locks for what several threads share. A Lock is ready from its
// initializer on; a static one needs neither set-up nor tear-down. Not
// recursive: a thread that holds one must not take it again.
void lock(Lock& lock);
void unlock(Lock& lock);
// Takes the lock when it can within the time: false when another thread (or
// this one) holds it all that time.
bool lockWithin(Lock& lock, unsigned long milliseconds);

// Holds the lock for its life; the timed form only when holds() says so.
class LockHolder {
public:
    explicit LockHolder(Lock& lock) : lock_(lock), holds_(true) { platform::lock(lock); }
    LockHolder(Lock& lock, unsigned long milliseconds) : lock_(lock), holds_(lockWithin(lock, milliseconds)) {}
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    ~LockHolder()
    {
        if (holds_)
            unlock(lock_);
    }

    bool holds() const { return holds_; }

private:
    Lock& lock_;
    bool holds_;
};

// Threads. The stack the calling thread was given, in bytes (the most a
// size_t holds when the system sets no limit).
size_t currentThreadStackSize();
// Whether the process's first thread may run the virtual machine. Not on
// Linux: its stack grows on demand up to the stack limit, unlike any other
// thread's, and HotSpot, told that java made it (sun.java.launcher), takes
// each thread for one of java's and gives Java code the whole of that stack.
bool firstThreadMayRunMachine();
// Runs the function on a new thread with a stack of the given size (0: the
// system's default size for a new thread) and waits
// for it (on Windows handling the thread's window messages meanwhile, so that
// a message box the function shows may own the caller's windows); false, and
// nothing run, when no such thread can be made.
bool runOnNewThread(size_t stackSize, int (*function)(void*), void* argument, int& result);

// Threads that work beside the launch for as long as the process lives (the
// single instance's receiving and delivering threads), and what they wait on:
//
//   platform::EventOwner ready(platform::newEvent());
//   platform::startDetachedThread(work, &state);   // work(...) waits: platform::waitForEvent(ready.get())
//   platform::raiseEvent(ready.get());
//
// Runs function(argument) on a new thread that no one waits for: the process
// may end while it runs. False, and nothing run, when no thread can be made.
bool startDetachedThread(void (*function)(void*), void* argument);
// Raised, it lets one wait through, at once or when it comes; raising it
// again before then changes nothing.
struct Event;
Event* newEvent();
void deleteEvent(Event* event);
void raiseEvent(Event* event);
void waitForEvent(Event* event);
using EventOwner = UniqueHandle<Event*, deleteEvent>;

// A clock that only goes forward, in milliseconds, and a pause of the
// calling thread.
unsigned long long steadyMilliseconds();
void sleepMilliseconds(unsigned long milliseconds);

}
