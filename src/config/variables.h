#pragma once
// %NAME% in settings values, expanded as ExpandEnvironmentStrings expands
// it: a name that is set is replaced by its value; a %...% that names nothing
// set, "%%", and a '%' without a closing one stay as written.
#include "common/text.h"

// The value of a name, or false when it names nothing set.
using VariableLookup = bool (*)(const char* name, Text& value, const void* context);

// False only when memory runs out.
[[nodiscard]] bool expandVariables(const Text& text, VariableLookup lookup, const void* context, Text& expanded);

// The names of a settings value: %APPDIR% is the executable's directory
// (given with its trailing separator, used without it), any other name an
// environment variable's.
[[nodiscard]] bool expandSettingVariables(const Text& text, const Text& executableDirectory, Text& expanded);
