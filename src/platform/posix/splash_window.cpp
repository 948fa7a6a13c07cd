#include "platform/splash_window.h"

// The Linux launcher shows no bitmap window: its splash comes from the
// runtime's own splash library.
namespace platform {

SplashScreenWindow* newSplashScreenWindow()
{
    return nullptr;
}

WindowHandle showSplashWindow(SplashScreenWindow*, const char*, bool, unsigned long)
{
    return nullptr;
}

void deleteSplashScreenWindow(SplashScreenWindow*)
{
}

}
