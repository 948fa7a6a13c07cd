#include "config/ini_value.h"

#include "common/memory.h"
#include "platform/platform.h"

Text readIniValue(const char* iniPath, const char* section, const char* key)
{
    // The reader gives size - 1 for a value it had to cut: read again with
    // twice the room until the value fits. A quoted value that just fills the
    // buffer comes back as size - 2, one character short, from some readers:
    // that count is read again too.
    for (size_t size = 256; size != 0 && size <= ((size_t)-1) / 2; size *= 2) {
        char* buffer = static_cast<char*>(allocateMemory(size));
        if (!buffer)
            return Text();
        size_t copied = platform::readProfileString(iniPath, section, key, buffer, size);
        if (copied + 2 < size) {
            Text value(buffer, copied);
            releaseMemory(buffer);
            return value;
        }
        releaseMemory(buffer);
    }
    return Text();
}
