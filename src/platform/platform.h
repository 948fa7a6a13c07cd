#pragma once
// The one seam to the operating system. Everything below is implemented once
// for Windows (win32/) and once for Linux (posix/); the rest of the launcher is
// portable and calls only these.
#include "common/text.h"
#include "common/list.h"
#include "common/text_list.h"
#include "common/unique_handle.h"
#include "runtime/library_machine.h"

// Lock, FileHandle: the build takes this header from posix/types/ or win32/types/.
#include "platform_types.h"

#include <stdarg.h>
#include <stddef.h>

namespace platform {

using WindowHandle = void*;
using ModuleInstance = void*;

}

// The launch, which the process's entry (win32/entry.cpp, posix/entry.cpp)
// runs and whose exit code it ends with; the launch sequence implements it.
int launchMain(platform::ModuleInstance instance);

namespace platform {

// Start-up of the process-wide services a launch needs: the system's locale
// for characters, and on Windows a COM apartment, the common controls and the
// window framework. On a failure, which step failed and its code (an HRESULT
// on Windows). shutDown() runs after the launch, whatever startUp() gave.
enum class StartUpFailure { None, Apartment, ModuleState };
StartUpFailure startUp(ModuleInstance instance, long& errorCode);
void shutDown();

// Starts them up, and shuts them down when the owner goes.
struct StartedPlatform {
    explicit StartedPlatform(ModuleInstance instance) : failure(startUp(instance, errorCode)) {}
    StartedPlatform(const StartedPlatform&) = delete;
    StartedPlatform& operator=(const StartedPlatform&) = delete;
    ~StartedPlatform() { shutDown(); }

    long errorCode = 0;
    StartUpFailure failure;
};

// The arguments after the program's own path, split as the system's
// launcher conventions say; false when one could not get memory. Where the
// system gives the command line in UTF-16 and an argument's text in the code
// page is not exact, wideArguments holds its UTF-16 code units (as bytes) at
// the same index, else an empty text; it may also be shorter than arguments.
[[nodiscard]] bool commandLineArguments(TextList& arguments, TextList& wideArguments);

// Characters of the system's ANSI (multibyte) code page.
const char* nextCharacter(const char* position);
bool isBlankCharacter(const char* position);

// Files and paths.
extern const char kPathSeparator;
// The executable's path, exact in the code page. When it is not to be had,
// errorCode is the system's code, or kUnrepresentableNameError when a name
// in it cannot be represented in the code page; the path then ends with that
// name (the part past it left off), as near as the code page can write it.
extern const int kUnrepresentableNameError;
bool modulePath(Text& path, int& errorCode);
// Where the first byte lies that the system's encoding for file names cannot
// decode; the text's length when it decodes whole.
size_t firstUndecodableByte(const Text& text);
bool settingsPathForModule(const Text& modulePath, Text& settingsPath);
// Reads one value of a profile (ini) file into buffer, with the platform's
// profile reader's rules; returns the number of bytes copied without the NUL,
// size - 1 when the value was cut.
size_t readProfileString(const char* file, const char* section, const char* key,
                         char* buffer, size_t size);
bool fileExists(const char* path);
// Whether the path names a directory.
bool isDirectory(const char* path);
// What separates the entries of a class path (';' on Windows, ':' on Linux).
extern const char kPathListSeparator;
// Whether two paths name the same file as the system compares names (on
// Windows without regard to case).
bool samePath(const char* first, const char* second);
// The folder for the user's caches: Windows' %LOCALAPPDATA%, Linux's
// $XDG_CACHE_HOME or ~/.cache; false when there is none.
bool userCacheDirectory(Text& directory);
// Why a folder or file in the user's caches is not this user's alone. The
// runtime maps the class archive it is handed as it finds it: another user
// who may write it, or the folder it lies in, or who may lead a link
// elsewhere, could run their own code in the application.
enum class CacheFault {
    None,
    Missing,
    CannotWrite,     // cannot be made, or not a folder (a regular file) where one is wanted
    Link,            // a symbolic link or another reparse point: never followed
    OtherOwner,
    OthersMayWrite,  // or replace what the folder holds
    Unchecked,       // its owner or access cannot be read
};
// Makes the folder for the user's caches unless it is there (not its
// parents). None when no other user may replace what it holds: on Linux it
// becomes its real path, without links, and it and each folder above it
// belong to this user or root and are writable by no one else, unless sticky
// (as /tmp is); on Windows it belongs to this user, Administrators or the
// system, and its access list lets no one else write. `where` is the folder
// at fault.
CacheFault makeCacheRoot(Text& directory, Text& where);
// Makes a folder in it for this user alone unless it is there (not its
// parents). None when it is a folder, not a link, that belongs to this user
// and that this process may write in and no one else may.
CacheFault makePrivateDirectory(const char* path);
// None for a regular file, not a link, that belongs to this user and that no
// one else may write; Missing when nothing is at the path.
CacheFault privateFileFault(const char* path);
// Takes away the write access of everybody but the file's owner (the runtime
// makes its archive as the user's umask says); false for a link, anything
// but a regular file, another user's file.
bool keepFileToOwner(const char* path);
// True when the file is not there or may be written.
bool canReplaceFile(const char* path);
// What tells one state of a file from another without reading it: its size,
// when it was last written, when it was last changed in any way (Linux's
// status change time, which no program sets back; on Windows its creation),
// and which file it is on which volume. False when there is no such file.
struct FileStamp {
    unsigned long long size = 0;
    unsigned long long written = 0;
    unsigned long long changed = 0;
    unsigned long long serial = 0;
    unsigned long long volume = 0;
};
bool fileStamp(const char* path, FileStamp& stamp);
// The bytes this process may still write on the volume that holds the folder.
bool freeSpace(const char* directory, unsigned long long& bytes);
bool removeFile(const char* path);
// The value of an environment variable; false when it is not set.
bool environmentVariable(const char* name, Text& value);
// Appends the bytes to the file, which is made when it is not there; false
// when that cannot be done, or the path names anything but a regular file or
// a console, where a write could block.
bool appendToFile(const char* path, const char* bytes, size_t length);
// Makes the file with the bytes; false when anything is at the path already
// (a link, dangling or not, too: it is never followed) or it cannot be written.
bool createNewFile(const char* path, const char* bytes, size_t length);
// The same file kept open, for writes that come one by one: none (invalid)
// where appendToFile would fail. The system's buffers alone stand between a
// write and the file, so a crash loses nothing written.
void closeFile(FileHandle file);
using OpenFile = UniqueHandle<FileHandle, closeFile, -1>;
OpenFile openForAppending(const char* path);
bool appendToOpenFile(FileHandle file, const char* bytes, size_t length);

// User interface.
void showErrorBox(WindowHandle owner, const char* text);
// Whether error messages go to a box (the window flavour): there the user
// never sees what the virtual machine prints, so the message carries it.
// Elsewhere messages go to standard error, beside the machine's own output.
bool messagesShownInBox();

// What the virtual machine prints while it starts. In the window flavour a
// process without standard output and error handles gets a pipe for both
// until main is called, read by a thread of its own that keeps the last bytes;
// handles the parent set are never replaced. Elsewhere nothing is captured.
void startCapturingStandardStreams();
// From main on, the handles are what they were, and what still reaches the
// pipe (Java keeps the handle it was given) is read and dropped: no writer waits.
void stopCapturingStandardStreams();
// What the pipe received so far, once what was written has been read.
void capturedStandardStreams(Text& text);
// The text the machine printed through its vfprintf hook, to where it would
// have printed it itself (the stream is the machine's C runtime's).
void passOnVmOutput(void* stream, const char* text, size_t length);
// printf formatting of the C runtime: the length; -1 when the buffer is too
// small for the text and its NUL, kFormatFailed when no buffer would do (an
// argument the C runtime cannot convert).
extern const int kFormatFailed;
int formatToBuffer(char* buffer, size_t size, const char* format, va_list arguments);
// Prints to the stream as the machine's own C runtime would, without memory
// of the launcher's (where the system allows it; else as much of the text as
// a buffer on the stack holds); the number of bytes printed, or -1.
int printVmOutputDirectly(void* stream, const char* format, va_list arguments);

// Locks for what several threads share. A Lock is ready from its
// initializer on; a static one needs neither set-up nor tear-down. Not
// recursive: a thread that holds one must not take it again.
void lock(Lock& lock);
void unlock(Lock& lock);
// Takes the lock when it can within the time: false when another thread (or
// this one) holds it all that time.
bool lockWithin(Lock& lock, unsigned long milliseconds);

// Holds the lock for its life; the timed form only when holds() says so.
class LockHolder {
public:
    explicit LockHolder(Lock& lock) : lock_(lock), holds_(true) { platform::lock(lock); }
    LockHolder(Lock& lock, unsigned long milliseconds) : lock_(lock), holds_(lockWithin(lock, milliseconds)) {}
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    ~LockHolder()
    {
        if (holds_)
            unlock(lock_);
    }

    bool holds() const { return holds_; }

private:
    Lock& lock_;
    bool holds_;
};

// Threads. The stack the calling thread was given, in bytes (the most a
// size_t holds when the system sets no limit).
size_t currentThreadStackSize();
// Runs the function on a new thread with a stack of the given size and waits
// for it (on Windows handling the thread's window messages meanwhile, so that
// a message box the function shows may own the caller's windows); false, and
// nothing run, when no such thread can be made.
bool runOnNewThread(size_t stackSize, int (*function)(void*), void* argument, int& result);

}

namespace platform {

// Where a runtime keeps its libraries, relative to its home; each list ends
// with a null entry. The Java library marks a private runtime; the first VM
// library found is the one loaded.
extern const char* const kJavaLibraryPaths[];
extern const char* const kVmLibraryPaths[];
extern const char kPrivateRuntimeSubdirectory[];

// A runtime as a source on this system records it: which source, where
// (registry key, directory or variable), the home it names as written, and
// the name (a version text, or a vendor's name for a version) it is filed under.
enum class RecordKind {
    Registered, // HKLM\Software\JavaSoft\Java Runtime Environment: the name is the version
    Installed,  // a runtime directory of the system: the version is in its release file
    Vendor,     // any other: release file, else the name; a JDK's jre\ is its runtime
};

struct RuntimeRecord {
    const char* source = "";
    RecordKind kind = RecordKind::Vendor;
    Text location;
    Text home;
    Text name;
};

using RuntimeRecords = List<RuntimeRecord>;

// Every runtime recorded on this system, source after source in search order,
// each source's records in the order it enumerates them. Sources that are not
// there, and records without a home, give nothing.
void recordedRuntimes(RuntimeRecords& records);

// At most `limit` bytes from the start of a regular file (a release file, a
// library's headers); false when it cannot be read.
bool readFileStart(const char* path, size_t limit, Text& contents);
// At most `limit` bytes of a regular file from the offset on (none past its
// end); false when it cannot be read.
bool readFilePart(const char* path, unsigned long long offset, size_t limit, Text& contents);
// Reads a regular file from its start, handing each run of bytes to `receive`
// as it is read, and holding none of them: Stopped when `receive` returns
// false. Anything but a regular file cannot be read and is never waited for;
// a file of more than `largest` bytes is refused by its size, before anything
// is read, or as soon as it has grown past it.
enum class FileReading { Done, CannotRead, TooLarge, Stopped };
using FileRunReceiver = bool (*)(const char* bytes, size_t length, void* context);
FileReading readFileInRuns(const char* path, unsigned long long largest, FileRunReceiver receive, void* context);

// The processor this process's own code is built for, as a library's
// headers name it: a library for another can never be loaded.
extern const LibraryMachine kProcessMachine;

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
// Loads a library of the runtime that the runtime opens again by its name
// later (the splash library), for good, so that it finds this copy.
void* loadRuntimeLibrary(const char* path, LibraryFailure& failure);
// The runtime's splash library, relative to its home.
extern const char kSplashLibraryPath[];

}

// The splash window's native part: a borderless topmost window showing a
// bitmap file, on a thread of its own that answers its messages. Null when the
// platform shows no splash window.
class SplashScreenWindow;

namespace platform {

SplashScreenWindow* newSplashScreenWindow();
// Shows the window and returns once it is painted; null when none was made.
// It goes by itself when the process shows a window of its own (not a tool
// window, not a message box), but not before the minimum time.
WindowHandle showSplashWindow(SplashScreenWindow* splash, const char* bitmapPath, bool shadow,
                              unsigned long minimumMilliseconds);
// Closes the window (once the minimum time is over and no message box it owns
// is open) and waits until it has gone.
void deleteSplashScreenWindow(SplashScreenWindow* splash);

// Closes the window, then deletes the object, when the owner goes.
using SplashWindowOwner = UniqueHandle<SplashScreenWindow*, deleteSplashScreenWindow>;

}
