#include "platform/posix/file_contents.h"

#include "common/unique_handle.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

using FileDescriptor = UniqueHandle<int, close, -1>;

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

bool readAll(int file, Text& contents)
{
    char chunk[65536];
    for (;;) {
        ssize_t got = read(file, chunk, sizeof chunk);
        int error = errno;
        if (got == 0)
            return true;
        if (got < 0 && error == EINTR)
            continue;
        // A file that grows while it is read is still held to the bound.
        if (got < 0 || contents.length() + static_cast<size_t>(got) > kLargestFileRead
            || !contents.append(chunk, static_cast<size_t>(got)))
            return false;
    }
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
    // Opening a FIFO for reading waits for a writer, unless it does not block;
    // it is then refused, like every file that is not a regular one.
    FileDescriptor file(open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status;
    if (!file.isValid() || fstat(file.get(), &status) != 0 || !isReadableRegularFile(status))
        return false;
    identity = identityOf(status);
    if (contents.reserve(static_cast<size_t>(status.st_size)) && readAll(file.get(), contents))
        return true;
    contents.clear();
    return false;
}

bool readRegularFile(const char* path, Text& contents)
{
    FileIdentity identity;
    return readRegularFile(path, contents, identity);
}

bool regularFileIdentity(const char* path, FileIdentity& identity)
{
    struct stat status;
    if (stat(path, &status) != 0 || !isReadableRegularFile(status))
        return false;
    identity = identityOf(status);
    return true;
}
