#include "config/settings_path.h"

#include "common/text_scan.h"
#include "platform/files.h"

namespace {

// The path's first `length` bytes, then the ending.
bool endedPath(const Text& path, size_t length, const char* ending, Text& iniPath)
{
    Text result;
    if (!result.assign(path.chars(), length) || !result.append(ending))
        return false;
    iniPath = static_cast<Text&&>(result);
    return true;
}

}

bool iniPathAfterLastDot(const Text& executablePath, Text& iniPath)
{
    size_t dot = findLastCharacter(executablePath, '.');
    if (dot == kNotFound)
        return false;
    return endedPath(executablePath, dot + 1, "ini", iniPath);
}

bool iniPathForFileName(const Text& executablePath, Text& iniPath)
{
    size_t slash = findLastCharacter(executablePath, '/');
    size_t nameStart = slash == kNotFound ? 0 : slash + 1;
    size_t dot = findLastCharacter(executablePath, '.');
    if (dot != kNotFound && dot > nameStart)
        return endedPath(executablePath, dot + 1, "ini", iniPath);
    return endedPath(executablePath, executablePath.length(), ".ini", iniPath);
}

bool settingsPathBeside(const Text& executablePath, Text& settingsPath)
{
    if (platform::kExecutableExtension[0])
        return iniPathAfterLastDot(executablePath, settingsPath);
    return iniPathForFileName(executablePath, settingsPath);
}
