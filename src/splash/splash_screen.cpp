#include "splash/splash_screen.h"

#include "platform/files.h"
#include "splash/runtime_splash.h"

void showSplash(const DisplaySettings& display, SplashScreen& splash)
{
    if (display.splashScreen.isEmpty())
        return;
    // A GIF, PNG or JPEG file is for the runtime's splash library, once the
    // runtime is known; anything else is for the launcher's own window.
    Text head;
    if (platform::readFileStart(display.splashScreen.chars(), kSplashImageHeadLength, head)
        && isRuntimeSplashImage(head.chars(), head.length())) {
        splash.runtimeShowsImage = true;
        return;
    }
    splash.window.reset(platform::newSplashScreenWindow());
    if (!splash.window.isValid())
        return;
    // A relative path is taken from the current directory.
    splash.messageOwner = platform::showSplashWindow(splash.window.get(), display.splashScreen.chars(),
                                                     display.splashShadow, display.splashMinimumTime);
}
