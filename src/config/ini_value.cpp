#include "config/ini_value.h"

#include "common/growing_buffer.h"
#include "common/trace.h"
#include "platform/settings_reader.h"

Text readIniValue(const char* iniPath, const char* section, const char* key)
{
    // The reader gives size - 1 for a value it had to cut: read again with
    // twice the room until the value fits. A quoted value that just fills the
    // buffer comes back as size - 2, one character short, from some readers:
    // that count is read again too.
    Text value;
    GrowResult result = fillGrowingBuffer(256, ((size_t)-1) / 2 + 1, value,
        [&](char* buffer, size_t size, size_t& length) {
            length = platform::readProfileString(iniPath, section, key, buffer, size);
            return length + 2 < size ? FillResult::Complete : FillResult::TooSmall;
        });
    if (result != GrowResult::Complete)
        value.clear();
    trace("  [%s] %s = \"%s\"", { section, key, value });
    return value;
}

bool iniValueGiven(const char* iniPath, const char* section, const char* key)
{
    return platform::profileValueGiven(iniPath, section, key);
}
