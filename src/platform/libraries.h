#pragma once
// Loading libraries into the process and finding their symbols.
#include "common/text.h"

namespace platform {

// Why a library or a symbol could not be had: the system's error code, or
// where the system explains itself in words (dlerror), those words.
struct LibraryFailure {
    int code = 0;
    Text reason;
};

// Loads a library into the process for good: it is never unloaded. The
// dependency directory is where the library's own DLLs lie (Windows only).
void* loadLibrary(const char* path, const char* dependencyDirectory, LibraryFailure& failure);
void* findSymbol(void* library, const char* name, LibraryFailure& failure);
// Loads a library of the runtime that the runtime opens again by its name
// later (the splash library), for good, so that it finds this copy.
void* loadRuntimeLibrary(const char* path, LibraryFailure& failure);
// The runtime's splash library, relative to its home.
extern const char kSplashLibraryPath[];

}
