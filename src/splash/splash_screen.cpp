#include "splash/splash_screen.h"

#include "config/ini_value.h"
#include "config/module_path.h"
#include "config/settings.h"
#include "config/variables.h"
#include "launcher/launcher.h"

bool showSplash(Launcher& launcher)
{
    Text iniPath;
    if (!getIniPath(launcher, iniPath))
        return false;
    Text setting = readIniValue(iniPath.chars(), kDisplaySection, kSplashScreenKey);
    Text shadow = readIniValue(iniPath.chars(), kDisplaySection, kSplashScreenShadowKey);
    if (setting.isEmpty())
        return true;
    Text directory;
    if (!getModuleDirectory(launcher, directory))
        return false;
    // A splash bitmap that cannot be had is no reason to stop the launch.
    Text bitmapPath;
    if (!expandSettingVariables(setting, directory, bitmapPath))
        return true;
    launcher.splashWindow.reset(platform::newSplashScreenWindow());
    if (!launcher.splashWindow.isValid())
        return true;
    // A relative path is taken from the current directory.
    launcher.messageOwner =
        platform::createSplashWindow(launcher.splashWindow.get(), bitmapPath.chars(), shadow.equals("true"));
    platform::showSplashWindow(launcher.messageOwner);
    return true;
}

void destroySplash(Launcher& launcher)
{
    launcher.splashWindow.reset();
}
