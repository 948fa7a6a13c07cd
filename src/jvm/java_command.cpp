#include "jvm/java_command.h"

#include "common/text_scan.h"

namespace {

const char kJavaCommandOption[] = "-Dsun.java.command=";

bool optionsSetJavaCommand(const TextList& options)
{
    for (size_t i = 0; i < options.count(); ++i)
        if (options.at(i).startsWith(kJavaCommandOption))
            return true;
    return false;
}

// As java names it: the class with dots, the module as given, or the JAR file
// that will be run (the first of the class path's).
bool runTarget(const LaunchSettings& settings, Text& name)
{
    if (!settings.mainModule.isEmpty())
        return name.assign(settings.mainModule);
    if (settings.mainClassName.isEmpty() && settings.mainJarCandidates.count() > 0)
        return name.assign(settings.mainJarCandidates.at(0));
    if (!name.assign(settings.mainClassName))
        return false;
    replaceCharacter(name, '/', '.');
    return true;
}

}

bool javaCommandOption(const Text& what, const TextList& arguments, Text& option)
{
    if (!option.assign(kJavaCommandOption, sizeof kJavaCommandOption - 1) || !option.append(what))
        return false;
    for (size_t i = 0; i < arguments.count(); ++i)
        if (!option.appendChar(' ') || !option.append(arguments.at(i)))
            return false;
    return true;
}

bool addJavaCommandOption(LaunchSettings& settings, const TextList& arguments)
{
    if (optionsSetJavaCommand(settings.vmOptions))
        return true;
    Text target;
    Text option;
    return runTarget(settings, target) && javaCommandOption(target, arguments, option)
        && settings.vmOptions.append(option);
}
