#pragma once
// What lies where under a runtime's home: the Java library that marks a
// runtime, and the VM library that is loaded.
#include "common/text.h"

bool hasJavaLibrary(const Text& directory);
// The full path of the VM library of that kind ("client", "server") when the
// runtime has one, else of the first one, as the java command drops a kind a
// runtime lacks (the trace of the loaded library shows which it was); the
// empty text when the home has none.
Text findJvmLibrary(const Text& runtimeHome, const char* kind);
