#include "config/output_file_settings.h"

#include "config/application_section.h"
#include "config/ini_value.h"
#include "config/variables.h"

const char kOutputFileLimitFormat[] =
    "The setting Output File Limit is \"%s\": write a number of bytes, digits only.";

namespace {

const char kOutputFileKey[] = "Output File";
const char kOutputFileLimitKey[] = "Output File Limit";

}

// At most 18 digits: twice the limit is still a number of bytes.
bool parseOutputFileLimit(const Text& text, unsigned long long& limit)
{
    unsigned long long value = 0;
    for (size_t i = 0; i < text.length(); ++i) {
        char c = text.at(i);
        if (c < '0' || c > '9' || i == 18)
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0)
        return false;
    limit = value;
    return true;
}

bool readOutputFileSettings(const LaunchPaths& paths, OutputFileSettings& settings, Failure& failure)
{
    const char* ini = paths.settingsPath.chars();
    if (!expandSettingVariables(readIniValue(ini, kApplicationSection, kOutputFileKey), paths.directory, settings.path))
        return fail(failure, kOutOfMemoryMessage);
    Text limit = readIniValue(ini, kApplicationSection, kOutputFileLimitKey);
    return limit.isEmpty() || parseOutputFileLimit(limit, settings.limit)
        || fail(failure, kOutputFileLimitFormat, limit.chars());
}
