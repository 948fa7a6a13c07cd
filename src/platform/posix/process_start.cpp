#include "platform/platform.h"

#include <locale.h>

// Linux has no COM apartment, common controls or window framework: only the
// locale matters, for the multibyte character stepping.
namespace platform {

void useSystemDefaultLocale()
{
    setlocale(LC_CTYPE, "");
}

long enterComApartment()
{
    return 0;
}

void leaveComApartment()
{
}

void initializeCommonControls()
{
}

bool initializeModuleState(ModuleInstance, long&)
{
    return true;
}

void terminateModuleState()
{
}

}
