#include "jvm/java_command.h"

namespace {

const char kJavaCommandOption[] = "-Dsun.java.command=";

bool optionsSetJavaCommand(const TextList& options)
{
    for (size_t i = 0; i < options.count(); ++i)
        if (options.at(i).startsWith(kJavaCommandOption))
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
    if (optionsSetJavaCommand(vmOptions))
        return true;
    Text option;
    return javaCommandOption(what, arguments, option) && vmOptions.append(option);
}
