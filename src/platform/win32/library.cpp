#include "platform/libraries.h"

#include <windows.h>

namespace platform {

void* loadLibrary(const char* path, const char* dependencyDirectory, LibraryFailure& failure)
{
    // A loaded library's own DLLs are not looked for in its directory, and
    // jvm.dll needs the C runtime that lies in the runtime's bin\. Adding it to
    // the search (which also drops the current directory from it) for good:
    // the runtime loads more of its DLLs by name later, awt.dll among them.
    if (*dependencyDirectory)
        SetDllDirectoryA(dependencyDirectory);
    HMODULE library = LoadLibraryA(path);
    DWORD error = GetLastError();
    if (!library)
        failure.code = static_cast<int>(error);
    return library;
}

// AWT finds the splash library by its name, splashscreen.dll; its own
// DLLs lie in the runtime's bin\, which loading the VM library added to the search.
const char kSplashLibraryPath[] = "bin\\splashscreen.dll";

void* loadRuntimeLibrary(const char* path, LibraryFailure& failure)
{
    HMODULE library = LoadLibraryA(path);
    DWORD error = GetLastError();
    if (!library)
        failure.code = static_cast<int>(error);
    return library;
}

void* findSymbol(void* library, const char* name, LibraryFailure& failure)
{
    FARPROC symbol = GetProcAddress(static_cast<HMODULE>(library), name);
    DWORD error = GetLastError();
    if (!symbol)
        failure.code = static_cast<int>(error);
    return reinterpret_cast<void*>(symbol);
}

}
