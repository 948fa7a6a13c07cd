#include "platform/message_box.h"

#include <stdio.h>
#include <string.h>

namespace platform {

// A process without a window shows the message on standard error as the box
// would show it, ending with a line end (one, whether or not the text has it)
// so that a shell's prompt starts on a line of its own.
void showErrorBox(WindowHandle, const char* text)
{
    size_t length = strlen(text);
    fputs(text, stderr);
    if (length == 0 || text[length - 1] != '\n')
        fputc('\n', stderr);
    fflush(stderr);
}

void showOnStandardError(const char* text)
{
    fputs(text, stderr);
    fflush(stderr);
}

}
