#pragma once
// The one seam to the operating system. Everything below is implemented once
// for Windows (win32/) and once for Linux (posix/); the rest of the launcher is
// portable and calls only these.
#include "common/text.h"
#include "common/text_list.h"
#include "common/unique_handle.h"

#include <stddef.h>

namespace platform {

using WindowHandle = void*;
using ModuleInstance = void*;

// Start-up of the process-wide services a launch needs: the system's locale
// for characters, and on Windows a COM apartment, the common controls and the
// window framework. On a failure, which step failed and its code (an HRESULT
// on Windows). shutDown() runs after the launch, whatever startUp() gave.
enum class StartUpFailure { None, Apartment, ModuleState };
StartUpFailure startUp(ModuleInstance instance, long& errorCode);
void shutDown();

// The arguments after the program's own path, split as the system's
// launcher conventions say; false when one could not get memory.
[[nodiscard]] bool commandLineArguments(TextList& arguments);

// Characters of the system's ANSI (multibyte) code page.
const char* nextCharacter(const char* position);
bool isBlankCharacter(const char* position);

// Files and paths.
extern const char kPathSeparator;
bool modulePath(Text& path, int& errorCode);
bool settingsPathForModule(const Text& modulePath, Text& settingsPath);
// Reads one value of a profile (ini) file into buffer, with the platform's
// profile reader's rules; returns the number of bytes copied without the NUL,
// size - 1 when the value was cut.
size_t readProfileString(const char* file, const char* section, const char* key,
                         char* buffer, size_t size);
bool fileExists(const char* path);

// User interface.
void showErrorBox(WindowHandle owner, const char* text);

}

namespace platform {

// Where a runtime keeps its libraries, relative to its home; each list ends
// with a null entry. The Java library marks a private runtime; the first VM
// library found is the one loaded.
extern const char* const kJavaLibraryPaths[];
extern const char* const kVmLibraryPaths[];
extern const char kPrivateRuntimeSubdirectory[];

// The runtimes registered on the machine: Windows, the version subkeys of
// HKLM\Software\JavaSoft\Java Runtime Environment and their JavaHome values;
// Linux, the runtime directories under /usr/lib/jvm and their release files.
void registeredRuntimeNames(TextList& names);
bool registeredRuntimeVersion(const char* name, Text& versionText);
bool registeredRuntimeHome(const char* name, Text& home);

}

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

}

// The splash window's native part: a borderless topmost window showing a
// bitmap file. Null when the platform shows no splash window.
class SplashScreenWindow;

namespace platform {

SplashScreenWindow* newSplashScreenWindow();
WindowHandle createSplashWindow(SplashScreenWindow* splash, const char* bitmapPath, bool shadow);
void showSplashWindow(WindowHandle window);
void deleteSplashScreenWindow(SplashScreenWindow* splash);

// Destroys its window, then itself, when the owner goes.
using SplashWindowOwner = UniqueHandle<SplashScreenWindow*, deleteSplashScreenWindow>;

}
