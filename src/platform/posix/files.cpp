#include "platform/files.h"

#include "common/growing_buffer.h"
#include "platform/posix/file_contents.h"
#include "platform/posix/profile_reader.h"
#include "platform/process.h"
#include "platform/settings_reader.h"
#include "platform/user_cache.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <wchar.h>

namespace platform {

const char kPathSeparator = '/';
const char kPathListSeparator = ':';
const char kExecutableExtension[] = "";

// Names on Linux are bytes: nothing stands between them and the locale.
const int kUnrepresentableNameError = EILSEQ;

namespace {

using Directory = UniqueHandle<DIR*, closedir>;

}

size_t firstUndecodableByte(const Text& text)
{
    mbstate_t state = {};
    for (size_t at = 0; at < text.length();) {
        size_t length = mbrtowc(nullptr, text.chars() + at, text.length() - at, &state);
        if (length == static_cast<size_t>(-1) || length == static_cast<size_t>(-2))
            return at;
        at += length ? length : 1;
    }
    return text.length();
}

bool executablePath(Text& path, int& errorCode)
{
    int error = 0;
    GrowResult result = fillGrowingBuffer(256, 0x40000, path, [&](char* buffer, size_t size, size_t& length) {
        ssize_t got = readlink("/proc/self/exe", buffer, size);
        error = errno;
        if (got < 0)
            return FillResult::Failed;
        length = static_cast<size_t>(got);
        return length < size ? FillResult::Complete : FillResult::TooSmall;
    });
    errorCode = result == GrowResult::Failed ? error : result == GrowResult::NoMemory ? ENOMEM : ENAMETOOLONG;
    return result == GrowResult::Complete;
}

size_t readProfileString(const char* file, const char* section, const char* key,
                         char* buffer, size_t size)
{
    return copyProfileValue(readProfileValue(file, section, key), buffer, size);
}

bool readProfileSection(const char* file, const char* section, TextList& names, TextList& values)
{
    return ::readProfileSection(file, section, names, values);
}

bool profileValueGiven(const char* file, const char* section, const char* key)
{
    return profileGivesValue(file, section, key);
}

bool fileExists(const char* path)
{
    struct stat status;
    return stat(path, &status) == 0;
}

bool currentDirectory(Text& directory)
{
    GrowResult got = fillGrowingBuffer(256, SIZE_MAX, directory, [](char* buffer, size_t size, size_t& length) {
        if (getcwd(buffer, size)) {
            length = strlen(buffer);
            return FillResult::Complete;
        }
        return errno == ERANGE ? FillResult::TooSmall : FillResult::Failed;
    });
    return got == GrowResult::Complete;
}

bool changeDirectory(const char* path)
{
    return chdir(path) == 0;
}

bool isAbsolutePath(const char* path)
{
    return path[0] == '/';
}

bool nameExists(const char* path)
{
    return access(path, F_OK) == 0;
}

bool isFileSeparator(char c)
{
    return c == '/';
}

bool listWildcardFolder(const char* wildcard, TextList& names)
{
    Text folder;
    size_t length = strlen(wildcard);
    if (!(length >= 2 ? folder.assign(wildcard, length - 1) : folder.assign(".")))
        return false;
    Directory directory(opendir(folder.chars()));
    if (!directory.isValid())
        return false;
    while (const dirent* entry = readdir(directory.get()))
        if (!names.append(entry->d_name))
            return false;
    return true;
}

bool isDirectory(const char* path)
{
    struct stat status;
    return stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

bool samePath(const char* first, const char* second)
{
    return strcmp(first, second) == 0;
}

bool environmentVariable(const char* name, Text& value)
{
    const char* found = getenv(name);
    return found && value.assign(found, strlen(found));
}

// The environment is changed before the launch starts a thread: setenv is
// not safe beside another thread's getenv.
bool setEnvironmentVariable(const char* name, const char* value)
{
    return (value ? setenv(name, value, 1) : unsetenv(name)) == 0;
}

bool appendToFile(const char* path, const char* bytes, size_t length)
{
    OpenFile file = openForAppending(path);
    return file.isValid() && appendToOpenFile(file.get(), bytes, length);
}

void closeFile(FileHandle file)
{
    close(file);
}

// Opening does not wait for a FIFO's reader; the descriptor is not handed to
// programs the application starts.
OpenFile openForAppending(const char* path)
{
    OpenFile file(open(path, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644));
    struct stat status;
    // A pipe or socket whose reader does not read would fill and drop lines.
    if (file.isValid() && (fstat(file.get(), &status) != 0 || !(S_ISREG(status.st_mode) || isatty(file.get()))))
        file.reset();
    return file;
}

bool appendToOpenFile(FileHandle file, const char* bytes, size_t length)
{
    while (length > 0) {
        ssize_t written = write(file, bytes, length);
        int error = errno;
        if (written < 0 && error == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

// O_EXCL alone already fails on a link, even a dangling one; O_NOFOLLOW says so.
bool createNewFile(const char* path, const char* bytes, size_t length)
{
    FileDescriptor file(open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0644));
    return file.isValid() && appendToOpenFile(file.get(), bytes, length);
}

bool userCacheDirectory(Text& directory)
{
    // A relative $XDG_CACHE_HOME is to be ignored, as the base directory rules say.
    if (environmentVariable("XDG_CACHE_HOME", directory) && directory.chars()[0] == '/')
        return true;
    return environmentVariable("HOME", directory) && !directory.isEmpty() && directory.append("/.cache");
}

bool canReplaceFile(const char* path)
{
    struct stat status;
    int found = lstat(path, &status);
    int error = errno;
    if (found != 0)
        return error == ENOENT;
    return S_ISREG(status.st_mode) && access(path, W_OK) == 0;
}

bool fileStamp(const char* path, FileStamp& stamp)
{
    struct stat status;
    if (stat(path, &status) != 0)
        return false;
    stamp.size = static_cast<unsigned long long>(status.st_size);
    stamp.written = static_cast<unsigned long long>(status.st_mtim.tv_sec) * 1000000000u
        + static_cast<unsigned long long>(status.st_mtim.tv_nsec);
    stamp.changed = static_cast<unsigned long long>(status.st_ctim.tv_sec) * 1000000000u
        + static_cast<unsigned long long>(status.st_ctim.tv_nsec);
    stamp.serial = static_cast<unsigned long long>(status.st_ino);
    stamp.volume = static_cast<unsigned long long>(status.st_dev);
    return true;
}

bool freeSpace(const char* directory, unsigned long long& bytes)
{
    struct statvfs volume;
    if (statvfs(directory, &volume) != 0)
        return false;
    bytes = static_cast<unsigned long long>(volume.f_bavail) * volume.f_frsize;
    return true;
}

bool removeFile(const char* path)
{
    return unlink(path) == 0;
}

bool makeFolder(const char* path)
{
    return mkdir(path, 0777) == 0;
}

bool renameFile(const char* from, const char* to)
{
    return rename(from, to) == 0;
}

// Linux compares names byte for byte.
bool comparablePath(const Text& path, Text& compared)
{
    return compared.assign(path.chars(), path.length());
}

bool currentDirectory(Text& directory, Utf16Text& units)
{
    units = Utf16Text();
    GrowResult result = fillGrowingBuffer(256, 0x40000, directory, [](char* buffer, size_t size, size_t& length) {
        if (getcwd(buffer, size)) {
            length = strlen(buffer);
            return FillResult::Complete;
        }
        return errno == ERANGE ? FillResult::TooSmall : FillResult::Failed;
    });
    return result == GrowResult::Complete;
}

}
