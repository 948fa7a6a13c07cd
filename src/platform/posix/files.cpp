#include "platform/platform.h"

#include "common/growing_buffer.h"
#include "config/settings_path.h"
#include "platform/posix/file_contents.h"
#include "platform/posix/profile_reader.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

const char kPathSeparator = '/';

bool modulePath(Text& path, int& errorCode)
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

bool settingsPathForModule(const Text& modulePath, Text& settingsPath)
{
    return iniPathForFileName(modulePath, settingsPath);
}

size_t readProfileString(const char* file, const char* section, const char* key,
                         char* buffer, size_t size)
{
    return copyProfileValue(readProfileValue(file, section, key), buffer, size);
}

bool fileExists(const char* path)
{
    struct stat status;
    return stat(path, &status) == 0;
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

// Opening does not wait for a FIFO's reader; the descriptor is not handed to
// programs the application starts.
bool appendToFile(const char* path, const char* bytes, size_t length)
{
    FileDescriptor file(open(path, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644));
    if (!file.isValid())
        return false;
    while (length > 0) {
        ssize_t written = write(file.get(), bytes, length);
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

}
