#include "config/variables.h"

#include "common/text_scan.h"
#include "platform/files.h"
#include "platform/process.h"

#include <string.h>

namespace {

const char kApplicationDirectory[] = "APPDIR";

bool settingVariable(const char* name, Text& value, const void* context)
{
    if (strcmp(name, kApplicationDirectory) != 0)
        return platform::environmentVariable(name, value);
    const Text& directory = *static_cast<const Text*>(context);
    size_t length = directory.length();
    if (length > 0 && endsWithCharacter(directory, platform::kPathSeparator))
        --length;
    return value.assign(directory.chars(), length);
}

}

bool expandVariables(const Text& text, VariableLookup lookup, const void* context, Text& expanded)
{
    expanded.clear();
    const char* chars = text.chars();
    size_t at = 0;
    while (at < text.length()) {
        size_t open = findCharacter(text, '%', at);
        size_t close = open == kNotFound ? kNotFound : findCharacter(text, '%', open + 1);
        if (close == kNotFound)
            return expanded.append(chars + at, text.length() - at);
        Text name;
        Text value;
        if (!expanded.append(chars + at, open - at) || !name.assign(chars + open + 1, close - open - 1))
            return false;
        bool known = !name.isEmpty() && lookup(name.chars(), value, context);
        if (!(known ? expanded.append(value) : expanded.append(chars + open, close - open + 1)))
            return false;
        at = close + 1;
    }
    return true;
}

bool expandSettingVariables(const Text& text, const Text& executableDirectory, Text& expanded)
{
    return expandVariables(text, settingVariable, &executableDirectory, expanded);
}
