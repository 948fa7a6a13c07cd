#pragma once
// The seam's types whose layout is the system's (see platform/files.h and
// platform/threads.h), as Windows has them, without <windows.h> for the
// portable code.
namespace platform {

// A slim reader/writer lock (SRWLOCK): one pointer, null when unlocked
// (SRWLOCK_INIT), so that a static one is ready before any code runs.
// locks.cpp hands it to the system's functions.
struct Lock {
    void* state = nullptr;
};

// A file's HANDLE.
using FileHandle = void*;

}
