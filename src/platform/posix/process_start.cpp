#include "platform/process.h"

#include <locale.h>
#include <stdlib.h>

namespace platform {

namespace {

void (*atExit)(int code) = nullptr;

void callAtExit(int code, void*)
{
    if (atExit)
        atExit(code);
}

}

// Only the locale matters here, for the multibyte character stepping.
StartUpFailure startUp(InstanceHandle, long&)
{
    setlocale(LC_CTYPE, "");
    return StartUpFailure::None;
}

void shutDown()
{
}

// glibc's on_exit, unlike atexit, hands over the exit code.
bool runAtExit(void (*function)(int code))
{
    if (atExit)
        return atExit == function;
    atExit = function;
    if (on_exit(callAtExit, nullptr) == 0)
        return true;
    atExit = nullptr;
    return false;
}

}
