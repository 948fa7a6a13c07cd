#include "platform/platform.h"

// The Linux launcher shows no splash window.
namespace platform {

SplashScreenWindow* newSplashScreenWindow()
{
    return nullptr;
}

WindowHandle createSplashWindow(SplashScreenWindow*, const char*, bool)
{
    return nullptr;
}

void showSplashWindow(WindowHandle)
{
}

void deleteSplashScreenWindow(SplashScreenWindow*)
{
}

}
