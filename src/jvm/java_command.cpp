#include "jvm/java_command.h"

#include "common/text_scan.h"

namespace {

const char kJavaCommandOption[] = "-Dsun.java.command=";
const char kJavaLauncherProperty[] = "-Dsun.java.launcher=";
// What java says of itself: tools show "Launcher Type: SUN_STANDARD" rather
// than "generic", and the machine takes its thread for one it did not start.
const char kJavaLauncherOption[] = "-Dsun.java.launcher=SUN_STANDARD";

bool optionsSet(const TextList& options, const char* property)
{
    for (size_t i = 0; i < options.count(); ++i)
        if (options.at(i).startsWith(property))
            return true;
    return false;
}

// As java names it: the class with dots, the module as given, or the JAR file
// that will be run (the first of the class path's).
Text runTarget(const LaunchSettings& settings)
{
    if (!settings.mainModule.isEmpty())
        return settings.mainModule;
    if (settings.mainClassName.isEmpty() && settings.mainJarCandidates.count() > 0)
        return settings.mainJarCandidates.at(0);
    Text name(settings.mainClassName);
    replaceCharacter(name, '/', '.');
    return name;
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
    TextList& options = settings.vmOptions;
    bool setsCommand = optionsSet(options, kJavaCommandOption);
    bool setsLauncher = optionsSet(options, kJavaLauncherProperty);
    Text option;
    if (!setsCommand && !(javaCommandOption(runTarget(settings), arguments, option) && options.append(option)))
        return false;
    return setsLauncher || options.append(Text(kJavaLauncherOption));
}
