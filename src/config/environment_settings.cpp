#include "config/environment_settings.h"

#include "common/trace.h"
#include "config/variables.h"
#include "platform/process.h"
#include "platform/settings_reader.h"

const char kNamelessVariableFormat[] = "A line of [Environment] names no variable: =%s";
const char kVariableNotSetFormat[] = "The variable %s of [Environment] cannot be set.";

namespace {

const char kEnvironmentSection[] = "Environment";

bool applyVariable(const Text& name, const Text& value, const Text& executableDirectory, Failure& failure)
{
    if (name.isEmpty())
        return fail(failure, kNamelessVariableFormat, value.chars());
    Text expanded;
    if (!expandSettingVariables(value, executableDirectory, expanded))
        return fail(failure, kOutOfMemoryMessage);
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
    return applyEnvironment(names, values, paths.directory, failure);
}
