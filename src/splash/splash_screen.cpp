#include "splash/splash_screen.h"

#include "config/ini_value.h"
#include "config/settings.h"
#include "config/variables.h"
#include "platform/files.h"
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

void showSplash(const LaunchPaths& paths, SplashScreen& splash)
{
    const char* ini = paths.settingsPath.chars();
    Text setting = readIniValue(ini, kDisplaySection, kSplashScreenKey);
    Text shadow = readIniValue(ini, kDisplaySection, kSplashScreenShadowKey);
    if (setting.isEmpty())
        return;
    Text minimumTime = readIniValue(ini, kDisplaySection, kSplashScreenMinimumTimeKey);
    Text bitmapPath;
    if (!expandSettingVariables(setting, paths.directory, bitmapPath))
        return;
    // A GIF, PNG or JPEG file is for the runtime's splash library, once the
    // runtime is known; anything else is for the launcher's own window.
    Text head;
    if (platform::readFileStart(bitmapPath.chars(), kSplashImageHeadLength, head)
        && isRuntimeSplashImage(head.chars(), head.length())) {
        splash.runtimeImage = static_cast<Text&&>(bitmapPath);
        return;
    }
    splash.window.reset(platform::newSplashScreenWindow());
    if (!splash.window.isValid())
        return;
    // A relative path is taken from the current directory.
    splash.messageOwner = platform::showSplashWindow(splash.window.get(), bitmapPath.chars(), shadow.equals("true"),
                                                     parseMinimumTime(minimumTime));
}
