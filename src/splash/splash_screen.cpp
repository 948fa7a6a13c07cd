#include "splash/splash_screen.h"

#include "config/ini_value.h"
#include "config/module_path.h"
#include "config/settings.h"
#include "config/variables.h"
#include "launcher/launcher.h"
#include "splash/runtime_splash.h"

namespace {

const size_t kMaximumMinimumTimeDigits = 9;

}

unsigned long parseMinimumTime(const Text& value)
{
    const char* digits = value.chars();
    size_t length = value.length();
    if (length == 0 || length > kMaximumMinimumTimeDigits)
        return 0;
    unsigned long milliseconds = 0;
    for (size_t i = 0; i < length; ++i) {
        if (digits[i] < '0' || digits[i] > '9')
            return 0;
        milliseconds = milliseconds * 10 + static_cast<unsigned long>(digits[i] - '0');
    }
    return milliseconds;
}

bool showSplash(Launcher& launcher)
{
    Text iniPath;
    if (!getIniPath(launcher, iniPath))
        return false;
    Text setting = readIniValue(iniPath.chars(), kDisplaySection, kSplashScreenKey);
    Text shadow = readIniValue(iniPath.chars(), kDisplaySection, kSplashScreenShadowKey);
    if (setting.isEmpty())
        return true;
    Text minimumTime = readIniValue(iniPath.chars(), kDisplaySection, kSplashScreenMinimumTimeKey);
    Text directory;
    if (!getModuleDirectory(launcher, directory))
        return false;
    // A splash bitmap that cannot be had is no reason to stop the launch.
    Text bitmapPath;
    if (!expandSettingVariables(setting, directory, bitmapPath))
        return true;
    // A GIF, PNG or JPEG file is for the runtime's splash library, once the
    // runtime is known; anything else is for the launcher's own window.
    Text head;
    if (platform::readFileStart(bitmapPath.chars(), kSplashImageHeadLength, head)
        && isRuntimeSplashImage(head.chars(), head.length())) {
        launcher.splashImage = static_cast<Text&&>(bitmapPath);
        return true;
    }
    launcher.splashWindow.reset(platform::newSplashScreenWindow());
    if (!launcher.splashWindow.isValid())
        return true;
    // A relative path is taken from the current directory.
    launcher.messageOwner = platform::showSplashWindow(launcher.splashWindow.get(), bitmapPath.chars(),
                                                       shadow.equals("true"), parseMinimumTime(minimumTime));
    return true;
}

void destroySplash(Launcher& launcher)
{
    launcher.splashWindow.reset();
}
