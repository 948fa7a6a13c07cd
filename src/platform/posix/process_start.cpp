#include "platform/process.h"

#include <locale.h>

namespace platform {

// Only the locale matters here, for the multibyte character stepping.
StartUpFailure startUp(InstanceHandle, long&)
{
    setlocale(LC_CTYPE, "");
    return StartUpFailure::None;
}

void shutDown()
{
}

}
