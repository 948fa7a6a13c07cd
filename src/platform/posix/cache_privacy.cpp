#include "platform/user_cache.h"

#include "platform/posix/file_contents.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

const mode_t kOthersWrite = S_IWGRP | S_IWOTH;

// What is at the path itself, a link not followed: whose it is and who may write it.
CacheFault entryFault(const char* path, struct stat& status)
{
    if (lstat(path, &status) != 0) {
        int error = errno;
        return error == ENOENT ? CacheFault::Missing : CacheFault::Unchecked;
    }
    if (S_ISLNK(status.st_mode))
        return CacheFault::Link;
    if (status.st_uid != geteuid())
        return CacheFault::OtherOwner;
    return status.st_mode & kOthersWrite ? CacheFault::OthersMayWrite : CacheFault::None;
}

// A folder whose entries only its owner may rename or remove: root's too,
// and one that others may write in when it is sticky.
CacheFault sharedFolderFault(const char* path)
{
    struct stat status;
    CacheFault fault = entryFault(path, status);
    if (fault == CacheFault::OtherOwner && status.st_uid == 0)
        fault = status.st_mode & kOthersWrite ? CacheFault::OthersMayWrite : CacheFault::None;
    if (fault == CacheFault::OthersMayWrite && (status.st_mode & S_ISVTX))
        fault = CacheFault::None;
    if (fault == CacheFault::None && !S_ISDIR(status.st_mode))
        return CacheFault::CannotWrite;
    return fault;
}

}

CacheFault makeCacheRoot(Text& directory, Text& where)
{
    char real[PATH_MAX];
    int made = mkdir(directory.chars(), 0700);
    int error = errno;
    if (!where.assign(directory))
        return CacheFault::Unchecked;
    if ((made != 0 && error != EEXIST) || !realpath(directory.chars(), real))
        return CacheFault::CannotWrite;
    // From here on the path holds no link that anyone could lead elsewhere,
    // and none of its folders may be renamed by another user.
    if (!directory.assign(real, strlen(real)))
        return CacheFault::Unchecked;
    for (char* end = real + strlen(real);;) {
        CacheFault fault = sharedFolderFault(real);
        if (fault != CacheFault::None)
            return where.assign(real) ? fault : CacheFault::Unchecked;
        if (end == real + 1)
            return CacheFault::None;
        end = strrchr(real, '/');
        end += end == real;
        *end = '\0';
    }
}

CacheFault makePrivateDirectory(const char* path)
{
    // Made for this user alone; one already there, which another user may
    // have made first, is checked all the same.
    int made = mkdir(path, 0700);
    int error = errno;
    if (made != 0 && error != EEXIST)
        return CacheFault::CannotWrite;
    struct stat status;
    CacheFault fault = entryFault(path, status);
    if (fault != CacheFault::None)
        return fault == CacheFault::Missing ? CacheFault::CannotWrite : fault;
    return S_ISDIR(status.st_mode) && access(path, W_OK | X_OK) == 0 ? CacheFault::None : CacheFault::CannotWrite;
}

CacheFault privateFileFault(const char* path)
{
    struct stat status;
    CacheFault fault = entryFault(path, status);
    return fault == CacheFault::None && !S_ISREG(status.st_mode) ? CacheFault::CannotWrite : fault;
}

bool keepFileToOwner(const char* path)
{
    FileDescriptor file(open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status;
    if (!file.isValid() || fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != geteuid())
        return false;
    return !(status.st_mode & kOthersWrite) || fchmod(file.get(), status.st_mode & 07777 & ~kOthersWrite) == 0;
}

}
