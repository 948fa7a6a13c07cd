#include "platform/platform.h"

#include "launcher/argument_splitting.h"

#include <windows.h>

namespace platform {

bool commandLineArguments(TextList& arguments)
{
    return splitCommandLineText(GetCommandLineA(), arguments);
}

}
