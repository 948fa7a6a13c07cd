#include "config/settings_path.h"

#include "common/text_scan.h"
#include "platform/files.h"

namespace {

bool replaceAfter(const Text& path, size_t dot, Text& iniPath)
{
    Text result;
    if (!result.assign(path.chars(), dot + 1) || !result.append("ini"))
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
    return replaceAfter(executablePath, dot, iniPath);
}

bool iniPathForFileName(const Text& executablePath, Text& iniPath)
{
    size_t slash = findLastCharacter(executablePath, '/');
    size_t nameStart = slash == kNotFound ? 0 : slash + 1;
    size_t dot = findLastCharacter(executablePath, '.');
    if (dot != kNotFound && dot > nameStart)
        return replaceAfter(executablePath, dot, iniPath);
    Text result;
    if (!result.assign(executablePath) || !result.append(".ini"))
        return false;
    iniPath = static_cast<Text&&>(result);
    return true;
}

bool settingsPathBeside(const Text& executablePath, Text& settingsPath)
{
    if (platform::kExecutableExtension[0])
        return iniPathAfterLastDot(executablePath, settingsPath);
    return iniPathForFileName(executablePath, settingsPath);
}
