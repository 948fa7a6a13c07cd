#include "platform/platform.h"

#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>

namespace platform {

// The runtime's libjvm.so finds its own libraries through its run path, so
// the dependency directory is not needed here.
void* loadLibrary(const char* path, const char*, int& errorCode)
{
    errno = 0;
    void* library = dlopen(path, RTLD_NOW | RTLD_GLOBAL);
    int error = errno;
    if (!library)
        errorCode = error;
    return library;
}

void* findSymbol(void* library, const char* name, int& errorCode)
{
    void* symbol = dlsym(library, name);
    if (!symbol)
        errorCode = 0;
    return symbol;
}

}
