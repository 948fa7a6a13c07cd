#pragma once
// The thread main runs on: as java does, one with the stack that -Xss asks
// for when the launcher's own thread has less.
#include "common/text_list.h"

#include <stddef.h>

struct Launcher;

// The stack size the last -Xss option asks for, in bytes, as the VM reads it
// (a number with an optional k, m or g, either case); 0 without one, or when
// the last one cannot be read.
size_t requestedStackSize(const TextList& options);

// Creates the VM and runs main on a thread with the requested stack when the
// launcher's thread has less, else on the launcher's thread; gives the
// launch's exit code. The launcher's thread waits for the other one.
int runMainOnItsThread(Launcher& launcher, int (*run)(Launcher&));
