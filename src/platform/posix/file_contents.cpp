#include "platform/posix/file_contents.h"

#include "platform/files.h"

#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <unistd.h>

namespace {

bool isReadableRegularFile(const struct stat& status)
{
    return S_ISREG(status.st_mode) && static_cast<unsigned long long>(status.st_size) <= kLargestFileRead;
}

FileIdentity identityOf(const struct stat& status)
{
    FileIdentity identity;
    identity.device = status.st_dev;
    identity.inode = status.st_ino;
    identity.size = status.st_size;
    identity.modified = status.st_mtim;
    return identity;
}

// Reads up to `limit` bytes; false when the file holds more and `whole` is
// asked for. A file that grows while it is read is still held to the limit.
bool readUpTo(int file, size_t limit, bool whole, Text& contents)
{
    char chunk[65536];
    for (;;) {
        size_t room = limit - contents.length();
        ssize_t got = read(file, chunk, whole || room > sizeof chunk ? sizeof chunk : room);
        int error = errno;
        if (got == 0 || (!whole && contents.length() == limit))
            return true;
        if (got < 0 && error == EINTR)
            continue;
        if (got < 0 || static_cast<size_t>(got) > room || !contents.append(chunk, static_cast<size_t>(got)))
            return false;
    }
}

// Opening a FIFO for reading waits for a writer, unless it does not block;
// it is then refused, like every file that is not a regular one.
bool openRegularFile(const char* path, FileDescriptor& file, struct stat& status)
{
    file.reset(open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    return file.isValid() && fstat(file.get(), &status) == 0 && S_ISREG(status.st_mode);
}

}

bool FileIdentity::operator==(const FileIdentity& other) const
{
    return device == other.device && inode == other.inode && size == other.size
        && modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

bool readRegularFile(const char* path, Text& contents, FileIdentity& identity)
{
    contents.clear();
    FileDescriptor file;
    struct stat status;
    if (!openRegularFile(path, file, status) || !isReadableRegularFile(status))
        return false;
    identity = identityOf(status);
    if (contents.reserve(static_cast<size_t>(status.st_size))
        && readUpTo(file.get(), kLargestFileRead, true, contents))
        return true;
    contents.clear();
    return false;
}

bool regularFileIdentity(const char* path, FileIdentity& identity)
{
    struct stat status;
    if (stat(path, &status) != 0 || !isReadableRegularFile(status))
        return false;
    identity = identityOf(status);
    return true;
}

namespace platform {

bool readFileStart(const char* path, size_t limit, Text& contents)
{
    return readFilePart(path, 0, limit, contents);
}

bool readFilePart(const char* path, unsigned long long offset, size_t limit, Text& contents)
{
    contents.clear();
    FileDescriptor file;
    struct stat status;
    if (openRegularFile(path, file, status) && offset <= static_cast<unsigned long long>(INT64_MAX)
        && lseek(file.get(), static_cast<off_t>(offset), SEEK_SET) >= 0
        && readUpTo(file.get(), limit, false, contents))
        return true;
    contents.clear();
    return false;
}

FileReading readFileInRuns(const char* path, unsigned long long largest, FileRunReceiver receive, void* context)
{
    FileDescriptor file;
    struct stat status;
    if (!openRegularFile(path, file, status))
        return FileReading::CannotRead;
    if (static_cast<unsigned long long>(status.st_size) > largest)
        return FileReading::TooLarge;
    char run[65536];
    for (unsigned long long total = 0;;) {
        ssize_t got = read(file.get(), run, sizeof run);
        int error = errno;
        if (got == 0)
            return FileReading::Done;
        if (got < 0 && error == EINTR)
            continue;
        if (got < 0)
            return FileReading::CannotRead;
        total += static_cast<unsigned long long>(got);
        if (total > largest)
            return FileReading::TooLarge;
        if (!receive(run, static_cast<size_t>(got), context))
            return FileReading::Stopped;
    }
}

}
