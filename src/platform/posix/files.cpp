#include "platform/platform.h"

#include "common/memory.h"
#include "config/settings_path.h"
#include "platform/posix/profile_reader.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

const char kPathSeparator = '/';

bool modulePath(Text& path, int& errorCode)
{
    for (size_t size = 256; size <= 0x40000; size *= 2) {
        char* buffer = static_cast<char*>(allocateMemory(size));
        if (!buffer) {
            errorCode = ENOMEM;
            return false;
        }
        ssize_t length = readlink("/proc/self/exe", buffer, size);
        int error = errno;
        if (length < 0) {
            releaseMemory(buffer);
            errorCode = error;
            return false;
        }
        if (static_cast<size_t>(length) < size) {
            bool copied = path.assign(buffer, static_cast<size_t>(length));
            releaseMemory(buffer);
            if (!copied)
                errorCode = ENOMEM;
            return copied;
        }
        releaseMemory(buffer);
    }
    errorCode = ENAMETOOLONG;
    return false;
}

bool settingsPathForModule(const Text& modulePath, Text& settingsPath)
{
    return iniPathForFileName(modulePath, settingsPath);
}

size_t readProfileString(const char* file, const char* section, const char* key,
                         char* buffer, size_t size)
{
    Text value;
    readProfileFile(file, section, key, value);
    return copyProfileValue(value, buffer, size);
}

bool fileExists(const char* path)
{
    struct stat status;
    return stat(path, &status) == 0;
}

}
