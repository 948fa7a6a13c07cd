#include "common/failure.h"

#include "common/message_format.h"

const char kWindowsExceptionFormat[] = "Windows exception: %s (errno = %d).\n";
const char kJniExceptionFormat[] = "JNI exception: %s.\n";
const char kOutOfMemoryMessage[] = "Not enough memory to start the application.\n";

bool failWithText(Failure& failure, const char* format, Text&& message)
{
    failure.format = format;
    failure.message = static_cast<Text&&>(message);
    failure.exitCode = -1;
    return false;
}

bool fail(Failure& failure, const char* message)
{
    return failWithText(failure, message, Text());
}

bool fail(Failure& failure, const char* format, const char* value)
{
    return failWithText(failure, format, formatMessage(format, value));
}

bool fail(Failure& failure, const char* format, const char* first, const char* second)
{
    return failWithText(failure, format, formatMessage(format, first, second));
}

bool fail(Failure& failure, const char* format, const char* text, int code)
{
    return failWithText(failure, format, formatMessage(format, text, code));
}

bool failSilently(Failure& failure)
{
    return failWithText(failure, nullptr, Text());
}
