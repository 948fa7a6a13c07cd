#include "platform/process.h"

#include <locale.h>
#include <stdlib.h>

namespace {

// Only the locale matters here, for the multibyte character stepping.
bool useSystemLocale(platform::InstanceHandle, long&)
{
    setlocale(LC_CTYPE, "");
    return true;
}

void (*atExit)(int code) = nullptr;

void callAtExit(int code, void*)
{
    if (atExit)
        atExit(code);
}

}

namespace platform {

const PlatformService kPlatformServices[] = {
    { StartUpFailure::None, useSystemLocale, nullptr },
    { StartUpFailure::None, nullptr, nullptr },
};

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
