#pragma once
// The seam's types whose layout is the system's (see platform/files.h and
// platform/threads.h), as Linux has them.
#include <pthread.h>

namespace platform {

// A mutex set up by its initializer alone: a static one is ready before any
// code runs.
struct Lock {
    pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
};

// A file descriptor.
using FileHandle = int;

}
