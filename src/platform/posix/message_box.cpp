#include "platform/message_box.h"

#include <stdio.h>

namespace platform {

// A process without a window shows the message on standard error, exactly as
// the box would show it.
void showErrorBox(WindowHandle, const char* text)
{
    fputs(text, stderr);
    fflush(stderr);
}

void showOnStandardError(const char* text)
{
    fputs(text, stderr);
    fflush(stderr);
}

}
