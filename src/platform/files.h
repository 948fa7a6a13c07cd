#pragma once
// Files and paths: the separators, the executable's path, what lies at a
// path, and reading and writing regular files.
#include "common/command_line_arguments.h"
#include "common/text.h"
#include "common/text_list.h"
#include "common/unique_handle.h"

// FileHandle: the build takes this header from posix/types/ or win32/types/.
#include "platform_types.h"

#include <stddef.h>

namespace platform {

extern const char kPathSeparator;
// The executable's path, exact in the code page. When it is not to be had,
// errorCode is the system's code, or kUnrepresentableNameError when a name
// in it cannot be represented in the code page; the path then ends with that
// name (the part past it left off), as near as the code page can write it.
extern const int kUnrepresentableNameError;
bool executablePath(Text& path, int& errorCode);
// Where the first byte lies that the system's encoding for file names cannot
// decode; the text's length when it decodes whole.
size_t firstUndecodableByte(const Text& text);
// The extension the system's programs carry (".exe" on Windows); empty where
// they carry none (Linux).
extern const char kExecutableExtension[];
bool fileExists(const char* path);
// Whether anything has exactly this name: a '*' or '?' in it is a character
// of the name, as java's access() takes it.
bool nameExists(const char* path);
// Whether the character separates the names of a path ('\\' and '/' on
// Windows, '/' on Linux).
bool isFileSeparator(char c);
// The names in the folder of a class path wildcard ("lib/*"; "*" alone is the
// current folder), "." and ".." among them, in the order the system lists
// them, as java lists them: readdir's on Linux, FindFirstFile's on Windows;
// false when the folder cannot be listed.
bool listWildcardFolder(const char* wildcard, TextList& names);
// The current directory, exact in the code page (or as environmentVariable
// gives a folder that the code page cannot hold); false when it cannot be had.
bool currentDirectory(Text& directory);
bool changeDirectory(const char* path);
// Whether the path does not depend on the current directory ('/' on Linux;
// a drive or a separator first on Windows).
bool isAbsolutePath(const char* path);
// Whether the path names a directory.
bool isDirectory(const char* path);
// What separates the entries of a class path (';' on Windows, ':' on Linux).
extern const char kPathListSeparator;
// Whether two paths name the same file as the system compares names (on
// Windows without regard to case).
bool samePath(const char* first, const char* second);
// The path as the file system compares paths, so that two spellings of one
// path give one text: on Windows in UTF-8, upper-cased as the invariant
// locale upper-cases (letters outside ASCII too), with '\' for '/'; on Linux
// the bytes as they are. False without memory.
bool comparablePath(const Text& path, Text& compared);
// The process's current directory: its bytes as the system names it, and on
// Windows its UTF-16 units where the code page cannot hold it (else empty).
bool currentDirectory(Text& directory, Utf16Text& units);
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
// Makes one folder, whose parent is there.
bool makeFolder(const char* path);
// Gives the file the other name, replacing a file of that name.
bool renameFile(const char* from, const char* to);
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

}
