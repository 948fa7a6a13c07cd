#pragma once
// Threads that work beside the launch for as long as the process lives (the
// single instance's receiving and delivering threads), and what they wait on.
//
//   platform::EventOwner ready(platform::newEvent());
//   platform::startDetachedThread(work, &state);   // work(...) waits: platform::waitForEvent(ready.get())
//   platform::raiseEvent(ready.get());
#include "common/unique_handle.h"

namespace platform {

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

}
