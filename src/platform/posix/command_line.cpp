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

char** processArgumentValues()
{
    return argumentValues;
}

namespace platform {

// The system hands over bytes, which reach main as they are.
bool commandLineArguments(TextList& arguments, TextList&)
{
    for (int i = 1; i < argumentCount; ++i)
        if (!arguments.append(argumentValues[i]))
            return false;
    return true;
}

}
