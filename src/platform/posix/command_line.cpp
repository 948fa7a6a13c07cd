#include "platform/process.h"
#include "platform/posix/process_arguments.h"

#include <string.h>

namespace {
int argumentCount = 0;
char** argumentValues = nullptr;
}

void rememberProcessArguments(int count, char** values)
{
    argumentCount = count;
    argumentValues = values;
}

char** processArgumentValues()
{
    return argumentValues;
}

namespace platform {

// The system hands over bytes, which reach main as they are.
bool commandLineArguments(CommandLineArguments& arguments)
{
    for (int i = 1; i < argumentCount; ++i) {
        Text argument;
        if (!argument.assign(argumentValues[i], strlen(argumentValues[i])) || !arguments.append(argument))
            return false;
    }
    return true;
}

}
