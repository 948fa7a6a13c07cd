#include "platform/process.h"

#include "platform/posix/process_arguments.h"

#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

extern char** environ;

namespace platform {

bool startExecutableAgain(const char* executable, const char*& call, int& code)
{
    // The virtual machine's threads block signals that the new launcher must
    // have as any process does; those ignored stay ignored (nohup).
    posix_spawnattr_t attributes;
    call = "posix_spawn";
    code = posix_spawnattr_init(&attributes);
    if (code != 0)
        return false;
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t started = 0;
    code = posix_spawn(&started, executable, nullptr, &attributes, processArgumentValues(), environ);
    posix_spawnattr_destroy(&attributes);
    return code == 0;
}

// The machine's exit reaches the launcher from the C library's exit
// handlers (see runAtExit), where exit() may not be called again: what the
// C library's streams hold is written, and the process ends at once.
void endProcess(int code)
{
    fflush(nullptr);
    _exit(code);
}

}
