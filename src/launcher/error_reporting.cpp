#include "launcher/error_reporting.h"

#include "common/message_format.h"
#include "common/trace.h"

const char kWindowsExceptionFormat[] = "Windows exception: %s (errno = %d).\n";
const char kComErrorFormat[] = "COM error: %s (errno = %d).\n";
const char kJniExceptionFormat[] = "JNI exception: %s.\n";
const char kOutOfMemoryMessage[] = "Not enough memory to start the application.\n";

namespace {

void showFormatted(platform::WindowHandle owner, const Text& message, const char* format)
{
    // Without memory for the filled format, the bare format still says what failed.
    showErrorBox(owner, message.isEmpty() ? format : message.chars());
}

}

void showErrorBox(platform::WindowHandle owner, const char* text)
{
    trace("message: %s", { text });
    platform::showErrorBox(owner, text);
}

void reportError(const char* text, platform::WindowHandle owner)
{
    showErrorBox(owner, text);
}

void reportFormatted(platform::WindowHandle owner, const char* format, const char* text)
{
    showFormatted(owner, formatMessage(format, text), format);
}

void reportFormatted(platform::WindowHandle owner, const char* format, const char* first, const char* second)
{
    showFormatted(owner, formatMessage(format, first, second), format);
}

void reportSystemError(platform::WindowHandle owner, const char* format, const char* text, int code)
{
    showFormatted(owner, formatMessage(format, text, code), format);
}
