#pragma once
// The launcher's texts as Java strings, as the machine's own launcher makes
// them: decoded with the system's native encoding.
#include "common/text.h"
#include "common/text_list.h"

#include <jni.h>

// Null (with any exception left pending) on failure.
jstring newStringFromText(JNIEnv* env, const Text& text);
jobjectArray newArgumentArray(JNIEnv* env, const TextList& items);
