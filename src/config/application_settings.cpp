#include "config/application_settings.h"

#include "config/application_section.h"
#include "config/ini_value.h"

#include <limits.h>

const char kSingleInstanceValueFormat[] =
    "The setting Single Instance in [Application] must be true, or empty, not \"%s\".\n";
const char kSingleInstanceMethodFormat[] =
    "The setting Single Instance Method in [Application] must name a class and its static method, "
    "as com.example.app.Main.openAgain, not \"%s\".\n";
const char kEmptySingleInstanceNameMessage[] =
    "The setting Single Instance Name in [Application] must name the application, not be empty.\n";
const char kRestartExitCodeFormat[] =
    "The setting Restart Exit Code in [Application] must be a whole number other than 0, not \"%s\".\n";
const char kWithoutSingleInstanceFormat[] =
    "The setting %s in [Application] means something only with Single Instance=true.\n";

namespace {

const char kSingleInstanceKey[] = "Single Instance";
const char kSingleInstanceNameKey[] = "Single Instance Name";
const char kSingleInstanceMethodKey[] = "Single Instance Method";
const char kRestartExitCodeKey[] = "Restart Exit Code";

// Dots between names, none empty, and no character that a Java name of a
// class or method cannot hold where the launcher's setting would be misread.
bool isDottedName(const char* name, size_t length)
{
    if (length == 0 || name[0] == '.' || name[length - 1] == '.')
        return false;
    for (size_t i = 0; i < length; ++i) {
        char c = name[i];
        if ((c == '.' && name[i + 1] == '.') || c == ' ' || c == '\t' || c == '/' || c == ';' || c == '('
            || c == '[')
            return false;
    }
    return true;
}

// Where the method's name begins: after the last '.', with a class before it.
size_t methodNameStart(const Text& value)
{
    const char* text = value.chars();
    size_t start = value.length();
    while (start > 0 && text[start - 1] != '.')
        --start;
    if (start < 2 || !isDottedName(text, start - 1) || !isDottedName(text + start, value.length() - start))
        return 0;
    return start;
}

// An optional '-' and digits, within a 32-bit exit code.
bool parseExitCode(const Text& value, int& code)
{
    const char* digits = value.chars() + (value.chars()[0] == '-');
    if (!*digits)
        return false;
    long long number = 0;
    for (; *digits; ++digits) {
        if (*digits < '0' || *digits > '9' || number > INT_MAX)
            return false;
        number = number * 10 + (*digits - '0');
    }
    if (value.chars()[0] == '-')
        number = -number;
    if (number > INT_MAX || number < INT_MIN || number == 0)
        return false;
    code = static_cast<int>(number);
    return true;
}

}

bool parseApplicationSettings(const ApplicationValues& values, ApplicationSettings& settings, Failure& failure)
{
    // Fixed words are compared exactly, as the other settings' "true".
    settings.singleInstance = values.singleInstance.equals("true");
    if (!settings.singleInstance && !values.singleInstance.isEmpty())
        return fail(failure, kSingleInstanceValueFormat, values.singleInstance.chars());
    // Elsewhere an empty value reads as a missing one; a name written empty
    // would let the executable's path name the application unnoticed.
    if (values.singleInstanceNameGiven && values.singleInstanceName.isEmpty())
        return fail(failure, kEmptySingleInstanceNameMessage);
    if (!settings.singleInstance && !values.singleInstanceName.isEmpty())
        return fail(failure, kWithoutSingleInstanceFormat, kSingleInstanceNameKey);
    if (!settings.singleInstance && !values.singleInstanceMethod.isEmpty())
        return fail(failure, kWithoutSingleInstanceFormat, kSingleInstanceMethodKey);
    if (!settings.singleInstanceName.assign(values.singleInstanceName))
        return fail(failure, kOutOfMemoryMessage);
    const Text& method = values.singleInstanceMethod;
    size_t nameStart = method.isEmpty() ? 0 : methodNameStart(method);
    if (!method.isEmpty() && nameStart == 0)
        return fail(failure, kSingleInstanceMethodFormat, method.chars());
    if (nameStart > 0
        && !(settings.methodClass.assign(method.chars(), nameStart - 1)
             && settings.methodName.assign(method.chars() + nameStart, method.length() - nameStart)))
        return fail(failure, kOutOfMemoryMessage);
    settings.restarts = !values.restartExitCode.isEmpty();
    if (settings.restarts && !parseExitCode(values.restartExitCode, settings.restartExitCode))
        return fail(failure, kRestartExitCodeFormat, values.restartExitCode.chars());
    return true;
}

bool loadApplicationSettings(const LaunchPaths& paths, ApplicationSettings& settings, Failure& failure)
{
    const char* ini = paths.settingsPath.chars();
    ApplicationValues values;
    values.singleInstance = readIniValue(ini, kApplicationSection, kSingleInstanceKey);
    values.singleInstanceName = readIniValue(ini, kApplicationSection, kSingleInstanceNameKey);
    values.singleInstanceNameGiven = !values.singleInstanceName.isEmpty()
        || iniValueGiven(ini, kApplicationSection, kSingleInstanceNameKey);
    values.singleInstanceMethod = readIniValue(ini, kApplicationSection, kSingleInstanceMethodKey);
    values.restartExitCode = readIniValue(ini, kApplicationSection, kRestartExitCodeKey);
    return parseApplicationSettings(values, settings, failure);
}
