#pragma once
// The String[] handed to main: each argument the exact Java string of what
// was given, also where the code page cannot hold it.
#include "common/command_line_arguments.h"

#include <jni.h>

// Null (with any exception left pending) on failure.
jobjectArray newMainArguments(JNIEnv* env, const CommandLineArguments& arguments);

// The arguments main receives: the settings' own first, then the command
// line's, each as exact as it was; false when memory ran out.
[[nodiscard]] bool joinMainArguments(const TextList& fixed, const CommandLineArguments& given,
                                     CommandLineArguments& joined);
