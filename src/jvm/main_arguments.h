#pragma once
// The String[] handed to main: each argument the exact Java string of what
// was given, also where the code page cannot hold it.
#include "common/text_list.h"

#include <jni.h>

// Null (with any exception left pending) on failure. wideArguments: see
// platform::commandLineArguments.
jobjectArray newMainArguments(JNIEnv* env, const TextList& arguments, const TextList& wideArguments);
