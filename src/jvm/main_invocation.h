#pragma once
// Runs the configured main class in the created machine and ends the machine.
#include "common/text.h"
#include "common/text_list.h"

#include <jni.h>

struct Launcher;

// A Java string of the text's bytes, decoded with the system's native
// encoding; null (with any exception left pending) on failure.
jstring newStringFromText(Launcher& launcher, const Text& text);
jobjectArray newArgumentArray(Launcher& launcher, const TextList& items);
// True once main was called and the thread detached cleanly; an exception
// thrown by main is described and changes nothing.
bool invokeMainClass(Launcher& launcher);
// Waits, inside the machine, for the application's last non-daemon thread.
void destroyVm(Launcher& launcher);
