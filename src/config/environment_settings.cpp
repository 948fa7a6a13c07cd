#include "config/environment_settings.h"

#include "common/text_scan.h"
#include "common/trace.h"
#include "config/variables.h"
#include "platform/process.h"
#include "platform/settings_reader.h"

const char kNamelessVariableFormat[] =
    "A line of the section [Environment] in the settings file gives no variable's name: =%s";
const char kVariableNotSetFormat[] =
    "The variable %s of the section [Environment] in the settings file cannot be set.";

namespace {

const char kEnvironmentSection[] = "Environment";

bool applyVariable(const Text& name, const Text& value, const Text& executableDirectory, Failure& failure)
{
    if (name.isEmpty())
        return fail(failure, kNamelessVariableFormat, value.chars());
    // Some versions of the system would take "A=B" as the name A.
    if (findCharacter(name, '=') != kNotFound)
        return fail(failure, kVariableNotSetFormat, name.chars());
    Text expanded;
    if (!expandSettingVariables(value, executableDirectory, expanded))
        return fail(failure, kOutOfMemoryMessage);
    if (expanded.isEmpty())
        trace("  environment: %s removed", { name });
    else
        trace("  environment: %s = \"%s\"", { name, expanded });
    return platform::setEnvironmentVariable(name.chars(), expanded.isEmpty() ? nullptr : expanded.chars())
        || fail(failure, kVariableNotSetFormat, name.chars());
}

}

bool applyEnvironment(const TextList& names, const TextList& values, const Text& executableDirectory,
                      Failure& failure)
{
    for (size_t i = 0; i < names.count(); ++i)
        if (!applyVariable(names.at(i), values.at(i), executableDirectory, failure))
            return false;
    return true;
}

bool applyEnvironmentSettings(const LaunchPaths& paths, Failure& failure)
{
    TextList names;
    TextList values;
    if (!platform::readProfileSection(paths.settingsPath.chars(), kEnvironmentSection, names, values))
        return fail(failure, kOutOfMemoryMessage);
    if (names.count() > 0)
        trace("  [%s]: %d variables", { kEnvironmentSection, static_cast<int>(names.count()) });
    return applyEnvironment(names, values, paths.directory, failure);
}
