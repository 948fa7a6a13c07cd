#include "platform/platform.h"

#include "common/growing_buffer.h"
#include "common/unique_handle.h"
#include "config/settings_path.h"

#include <windows.h>

namespace {

using FindHandle = UniqueHandle<HANDLE, FindClose, -1>;

}

namespace platform {

const char kPathSeparator = '\\';

bool modulePath(Text& path, int& errorCode)
{
    // A path of MAX_PATH characters or more is read whole: the buffer grows
    // until the name fits with its terminating NUL.
    DWORD error = 0;
    GrowResult result = fillGrowingBuffer(MAX_PATH, 0x40000, path, [&](char* buffer, size_t size, size_t& length) {
        DWORD got = GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(size));
        error = GetLastError();
        if (got == 0)
            return FillResult::Failed;
        length = got;
        return length < size ? FillResult::Complete : FillResult::TooSmall;
    });
    errorCode = static_cast<int>(result == GrowResult::Failed     ? error
                                 : result == GrowResult::NoMemory ? ERROR_NOT_ENOUGH_MEMORY
                                                                  : ERROR_INSUFFICIENT_BUFFER);
    return result == GrowResult::Complete;
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
    FindHandle search(FindFirstFileA(path, &found));
    return search.isValid();
}

}
