#pragma once
// What an exception says, read through JNI before it is described, so that a
// box can tell the user what the machine's standard error would have.
#include "common/text.h"

#include <jni.h>

// The throwable as Java prints it: its toString, the first `frames` frames
// ("\tat ..."), then each cause as "Caused by: ...", a line each. Leaves no
// exception pending; what cannot be read is left out.
Text throwableText(JNIEnv* env, jthrowable thrown, int frames);

// The class file version an UnsupportedClassVersionError's text names
// ("... (class file version 69.0), ..."), or 0 when it names none.
int classFileVersionIn(const char* text);

// For a main class too new for the chosen runtime: which Java the class
// needs (class file version N is Java N - 44), which the runtime is (its
// release version, empty when unknown) and which setting chooses it; empty
// when the exception's text names no class file version.
Text classVersionAdvice(const char* exceptionText, const char* runtimeVersion);
