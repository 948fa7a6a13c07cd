#include "platform/platform.h"

#include "common/memory.h"
#include "config/settings_path.h"

#include <windows.h>

namespace platform {

const char kPathSeparator = '\\';

bool modulePath(Text& path, int& errorCode)
{
    // A path of MAX_PATH characters or more is read whole: the buffer grows
    // until the name fits with its terminating NUL.
    for (DWORD size = MAX_PATH; size <= 0x40000; size *= 2) {
        char* buffer = static_cast<char*>(allocateMemory(size));
        if (!buffer) {
            errorCode = ERROR_NOT_ENOUGH_MEMORY;
            return false;
        }
        DWORD length = GetModuleFileNameA(nullptr, buffer, size);
        DWORD error = GetLastError();
        if (length == 0) {
            releaseMemory(buffer);
            errorCode = static_cast<int>(error);
            return false;
        }
        if (length < size) {
            bool copied = path.assign(buffer, length);
            releaseMemory(buffer);
            if (!copied)
                errorCode = ERROR_NOT_ENOUGH_MEMORY;
            return copied;
        }
        releaseMemory(buffer);
    }
    errorCode = ERROR_INSUFFICIENT_BUFFER;
    return false;
}

bool settingsPathForModule(const Text& modulePath, Text& settingsPath)
{
    return iniPathAfterLastDot(modulePath, settingsPath);
}

size_t readProfileString(const char* file, const char* section, const char* key,
                         char* buffer, size_t size)
{
    DWORD room = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(size);
    return GetPrivateProfileStringA(section, key, "", buffer, room, file);
}

bool fileExists(const char* path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

}
