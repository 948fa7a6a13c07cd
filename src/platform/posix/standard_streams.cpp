#include "platform/standard_streams.h"

#include "platform/message_box.h"

#include <stdio.h>

namespace platform {

// Linux processes have their standard error: the machine's output stays there.
bool messagesShownInBox()
{
    return false;
}

void startCapturingStandardStreams() {}
void stopCapturingStandardStreams() {}
void capturedStandardStreams(Text& text)
{
    text.clear();
}

// The machine shares the launcher's C library, so the stream is one of ours.
// Flushed at once: a machine that ends the process with _exit would lose
// what waits in the buffer, and its next words would come before it.
bool passOnVmOutput(void* stream, const char* text, size_t length)
{
    FILE* file = static_cast<FILE*>(stream);
    fwrite(text, 1, length, file);
    fflush(file);
    return false;
}

const int kFormatFailed = -2;

int formatToBuffer(char* buffer, size_t size, const char* format, va_list arguments)
{
    int length = vsnprintf(buffer, size, format, arguments);
    if (length < 0)
        return kFormatFailed;
    return static_cast<size_t>(length) < size ? length : -1;
}

int printVmOutputDirectly(void* stream, const char* format, va_list arguments)
{
    return vfprintf(static_cast<FILE*>(stream), format, arguments);
}

}
