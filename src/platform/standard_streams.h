#pragma once
// The process's standard output and error while the virtual machine starts,
// what it prints passed on to where it would have printed it, and the C
// runtime's formatting.
#include "common/text.h"

#include <stdarg.h>
#include <stddef.h>

namespace platform {

// What the virtual machine prints while it starts. In the window flavour a
// process without standard output and error handles gets a pipe for both
// until main is called, read by a thread of its own that keeps the last bytes;
// handles the parent set are never replaced. Elsewhere nothing is captured.
void startCapturingStandardStreams();
// From main on, the handles are what they were, and what still reaches the
// pipe (Java keeps the handle it was given) is read and dropped: no writer waits.
void stopCapturingStandardStreams();
// What the pipe received so far, once what was written has been read.
void capturedStandardStreams(Text& text);
// The text the machine printed through its vfprintf hook, to where it would
// have printed it itself (the stream is the machine's C runtime's).
void passOnVmOutput(void* stream, const char* text, size_t length);
// printf formatting of the C runtime: the length; -1 when the buffer is too
// small for the text and its NUL, kFormatFailed when no buffer would do (an
// argument the C runtime cannot convert).
extern const int kFormatFailed;
int formatToBuffer(char* buffer, size_t size, const char* format, va_list arguments);
// Prints to the stream as the machine's own C runtime would, without memory
// of the launcher's (where the system allows it; else as much of the text as
// a buffer on the stack holds); the number of bytes printed, or -1.
int printVmOutputDirectly(void* stream, const char* format, va_list arguments);

}
