#include "platform/threads.h"

#include <windows.h>

namespace platform {

namespace {

static_assert(sizeof(Lock) == sizeof(SRWLOCK), "a Lock is an SRWLOCK");

PSRWLOCK slimLock(Lock& lock)
{
    return reinterpret_cast<PSRWLOCK>(&lock.state);
}

}

void lock(Lock& lock)
{
    AcquireSRWLockExclusive(slimLock(lock));
}

void unlock(Lock& lock)
{
    ReleaseSRWLockExclusive(slimLock(lock));
}

// Slim locks have no timed wait.
bool lockWithin(Lock& lock, unsigned long milliseconds)
{
    for (unsigned long waited = 0;; ++waited) {
        if (TryAcquireSRWLockExclusive(slimLock(lock)))
            return true;
        if (waited == milliseconds)
            return false;
        Sleep(1);
    }
}

}
