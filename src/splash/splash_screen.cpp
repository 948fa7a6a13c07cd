#include "splash/splash_screen.h"

#include "config/ini_value.h"
#include "config/module_path.h"
#include "config/settings.h"
#include "launcher/launcher.h"

bool showSplash(Launcher& launcher)
{
    Text iniPath;
    if (!getIniPath(launcher, iniPath))
        return false;
    Text bitmapPath = readIniValue(iniPath.chars(), kDisplaySection, kSplashScreenKey);
    Text shadow = readIniValue(iniPath.chars(), kDisplaySection, kSplashScreenShadowKey);
    if (bitmapPath.isEmpty())
        return true;
    launcher.splashWindow.reset(platform::newSplashScreenWindow());
    if (!launcher.splashWindow.isValid())
        return true;
    // The path is used as written: a relative one is taken from the current directory.
    launcher.messageOwner =
        platform::createSplashWindow(launcher.splashWindow.get(), bitmapPath.chars(), shadow.equals("true"));
    platform::showSplashWindow(launcher.messageOwner);
    return true;
}

void destroySplash(Launcher& launcher)
{
    launcher.splashWindow.reset();
}
