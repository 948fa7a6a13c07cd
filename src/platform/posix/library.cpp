#include "platform/libraries.h"

#include <dlfcn.h>
#include <errno.h>
#include <string.h>

namespace {

// The loader's own words say what went wrong; without memory for them, the
// error code says at least that.
void describeFailure(platform::LibraryFailure& failure)
{
    const char* reason = dlerror();
    if (!reason)
        reason = "unknown error";
    failure.code = failure.reason.assign(reason, strlen(reason)) ? 0 : ENOMEM;
}

}

namespace platform {

// The runtime's libjvm.so finds its own libraries through its run path, so
// the dependency directory is not needed here.
void* loadLibrary(const char* path, const char*, LibraryFailure& failure)
{
    dlerror();
    void* library = dlopen(path, RTLD_NOW | RTLD_GLOBAL);
    if (!library)
        describeFailure(failure);
    return library;
}

const char kSplashLibraryPath[] = "lib/libsplashscreen.so";

// Global, so that AWT's own dlopen of the library by name finds this copy and
// its splash (with a local copy AWT opens a second one: Java reports the
// splash closed while it stays on screen). Lazy, as the java launcher opens it.
void* loadRuntimeLibrary(const char* path, LibraryFailure& failure)
{
    dlerror();
    void* library = dlopen(path, RTLD_LAZY | RTLD_GLOBAL);
    if (!library)
        describeFailure(failure);
    return library;
}

void* findSymbol(void* library, const char* name, LibraryFailure& failure)
{
    dlerror();
    void* symbol = dlsym(library, name);
    if (!symbol)
        describeFailure(failure);
    return symbol;
}

}
