#pragma once
// The String[] handed to main: each argument the exact Java string of what
// was given, also where the code page cannot hold it.
#include <jni.h>

struct Launcher;

// Null (with any exception left pending) on failure.
jobjectArray newMainArguments(Launcher& launcher);
