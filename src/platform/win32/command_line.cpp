#include "platform/platform.h"

#include "launcher/argument_splitting.h"

#include <windows.h>

namespace platform {

void commandLineArguments(TextList& arguments)
{
    splitCommandLineText(GetCommandLineA(), arguments);
}

}
