#include "platform/process.h"

#include <locale.h>

namespace {

// Only the locale matters here, for the multibyte character stepping.
bool useSystemLocale(platform::InstanceHandle, long&)
{
    setlocale(LC_CTYPE, "");
    return true;
}

}

namespace platform {

const PlatformService kPlatformServices[] = {
    { StartUpFailure::None, useSystemLocale, nullptr },
    { StartUpFailure::None, nullptr, nullptr },
};

}
