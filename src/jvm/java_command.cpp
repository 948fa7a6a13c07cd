#include "jvm/java_command.h"

#include "common/text_scan.h"
#include "launcher/launcher.h"

#include <string.h>

namespace {

const char kJavaCommandOption[] = "-Dsun.java.command=";

bool optionsSetJavaCommand(const TextList& options)
{
    for (size_t i = 0; i < options.count(); ++i)
        if (strncmp(options.at(i).chars(), kJavaCommandOption, sizeof kJavaCommandOption - 1) == 0)
            return true;
    return false;
}

// As java names it: the class with dots, the module as given, or the JAR file
// that will be run (the first of the class path's).
Text runTarget(const Launcher& launcher)
{
    if (!launcher.mainModule.isEmpty())
        return launcher.mainModule;
    if (launcher.mainClassName.isEmpty() && launcher.mainJarCandidates.count() > 0)
        return launcher.mainJarCandidates.at(0);
    Text name(launcher.mainClassName);
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

bool addJavaCommandOption(Launcher& launcher)
{
    if (optionsSetJavaCommand(launcher.vmOptions))
        return true;
    Text option;
    return javaCommandOption(runTarget(launcher), launcher.arguments, option) && launcher.vmOptions.append(option);
}
