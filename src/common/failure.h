#pragma once
// Why a launch step failed. A step that fails returns false and fills one;
// the launch sequence alone decides how the user sees it (a box owned by the
// splash, standard error, the trace).
//
//   if (classPath.isEmpty())
//       return fail(failure, kNoClassPathMessage);
#include "common/text.h"

struct Failure {
    // The message's constant: the text itself, or the format that was
    // filled; null when there is nothing to tell (the step had nothing to
    // say, or the virtual machine said it where the user sees it).
    const char* format = nullptr;
    // The filled format, with any details after it; empty when the format
    // is the whole message, or memory ran out filling it.
    Text message;
    // The process's exit code when the launch ends with this failure: the
    // launcher's -1, or java's own where the message is java's.
    int exitCode = -1;

    bool hasMessage() const { return format != nullptr; }
    // What the user reads: without memory for the filled format, the bare
    // format still says what failed.
    const char* text() const { return message.isEmpty() ? format : message.chars(); }
};

// Each fills the failure and returns false, for `return fail(...)`.
bool fail(Failure& failure, const char* message);
bool fail(Failure& failure, const char* format, const char* value);
bool fail(Failure& failure, const char* format, const char* first, const char* second);
bool fail(Failure& failure, const char* format, const char* text, int code);
// The message as it came to be: the constant it begins with (the format, or
// the empty text when it is another's words alone), and the whole text.
bool failWithText(Failure& failure, const char* format, Text&& message);
// A failure with nothing to tell.
bool failSilently(Failure& failure);

extern const char kWindowsExceptionFormat[];
extern const char kJniExceptionFormat[];
// When a setting or an argument cannot get memory, the launch stops rather
// than go on without it.
extern const char kOutOfMemoryMessage[];
