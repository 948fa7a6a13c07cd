#include "jvm/java_command.h"

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

bool addJavaCommandOption(const Text& what, const TextList& arguments, TextList& vmOptions)
{
    bool setsCommand = optionsSet(vmOptions, kJavaCommandOption);
    bool setsLauncher = optionsSet(vmOptions, kJavaLauncherProperty);
    Text option;
    if (!setsCommand && !(javaCommandOption(what, arguments, option) && vmOptions.append(option)))
        return false;
    return setsLauncher || vmOptions.append(kJavaLauncherOption);
}
