#pragma once
// The thread main runs on: as java does, one with the stack that -Xss asks
// for (or else the machine's default) where the launcher's own thread may not
// run the machine or has less.
#include "common/text_list.h"
#include "jvm/main_thread_attachment.h"
#include "jvm/vm_creation.h"

#include <stddef.h>

// The stack size the last -Xss option asks for, in bytes, as the VM reads it
// (a number with an optional k, m or g, either case); 0 without one, or when
// the last one cannot be read.
size_t requestedStackSize(const TextList& options);

// Runs the function (which creates the machine and calls main) on a thread
// with the stack the options ask for when the launcher's thread has less,
// else on the launcher's thread, and gives what it gave; where the
// launcher's thread may not run the machine (Linux), always on a new thread,
// sized as java sizes it: -Xss (64 KiB at least), else the machine's
// default. The function is handed its thread's attachment, for the machine
// it creates: the other thread leaves the machine before it ends, and the
// launcher's thread waits for it.
using MainRunFunction = bool (*)(void* context, MainThreadAttachment& attachment);
[[nodiscard]] bool runMainOnItsThread(const TextList& vmOptions, const VmLibrary& library, MainRunFunction run,
                                      void* context);
