#pragma once
// The process's standard output and error while the virtual machine starts,
// what it prints passed on to where it would have printed it, the file that
// takes them when the process has none, and the C runtime's formatting.
#include "common/output_cap.h"
#include "common/text.h"
#include "platform/files.h"

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
// have printed it itself (the stream is the machine's C runtime's); true when
// that is the output file's pipe while the capture keeps what it reads.
bool passOnVmOutput(void* stream, const char* text, size_t length);
// The standard output and error the process has none of: on Windows no
// handle (a window program started from the desktop); on Linux closed or
// /dev/null, as the process found them when it started. Asked before the
// output file is sent them.
struct MissingStreams {
    bool output = false;
    bool error = false;
    bool any() const { return output || error; }
};
MissingStreams missingStandardStreams();
// Makes a pipe the missing streams, before the runtime is loaded, so that the
// runtime's C runtime and Java take it as theirs, and a thread of its own
// empties it into the file as the cap allows. The writers never wait for the
// file: what the cap leaves out, or a write that fails (the trace says so,
// once), is dropped. False, with nothing changed, when no pipe or thread can
// be had. Once a process.
bool sendMissingStreamsToFile(OpenFile&& file, MissingStreams missing, OutputCap&& cap);
// Waits, a second or two at the most, until what the streams were given so
// far is in the file: before the process ends. Nothing without an output file.
void finishOutputFile();
// Whether the output file takes missing streams: the end of the process must
// then reach finishOutputFile.
bool outputFileTakesStreams();
// How a text file's lines end here.
extern const char kLineEnd[];
// The local date and time, "2026-03-01 14:05:33".
Text localTimeText();

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
