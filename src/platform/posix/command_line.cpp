#include "platform/platform.h"
#include "platform/posix/process_arguments.h"

namespace {
int argumentCount = 0;
char** argumentValues = nullptr;
}

void rememberProcessArguments(int count, char** values)
{
    argumentCount = count;
    argumentValues = values;
}

namespace platform {

void commandLineArguments(TextList& arguments)
{
    for (int i = 1; i < argumentCount; ++i)
        arguments.append(argumentValues[i]);
}

}
