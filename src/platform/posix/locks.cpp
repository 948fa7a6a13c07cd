#include "platform/threads.h"

#include <time.h>

namespace platform {

void lock(Lock& lock)
{
    pthread_mutex_lock(&lock.mutex);
}

void unlock(Lock& lock)
{
    pthread_mutex_unlock(&lock.mutex);
}

// Tries every millisecond: pthread_mutex_timedlock waits by the wall clock,
// which may be set back meanwhile.
bool lockWithin(Lock& lock, unsigned long milliseconds)
{
    const timespec pause = { 0, 1000000 };
    for (unsigned long waited = 0;; ++waited) {
        if (pthread_mutex_trylock(&lock.mutex) == 0)
            return true;
        if (waited == milliseconds)
            return false;
        nanosleep(&pause, nullptr);
    }
}

}
