#include "config/display_settings.h"

#include "config/ini_value.h"
#include "config/variables.h"

namespace {

const char kDisplaySection[] = "Display";
const char kSplashScreenKey[] = "Splash Screen";
const char kSplashScreenShadowKey[] = "Splash Screen Shadow";
const char kSplashScreenMinimumTimeKey[] = "Splash Screen Minimum Time";
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

void readDisplaySettings(const LaunchPaths& paths, DisplaySettings& display)
{
    const char* ini = paths.settingsPath.chars();
    Text setting = readIniValue(ini, kDisplaySection, kSplashScreenKey);
    // Exactly "true", as for the startup cache.
    display.splashShadow = readIniValue(ini, kDisplaySection, kSplashScreenShadowKey).equals("true");
    if (setting.isEmpty())
        return;
    display.splashMinimumTime = parseMinimumTime(readIniValue(ini, kDisplaySection, kSplashScreenMinimumTimeKey));
    if (!expandSettingVariables(setting, paths.directory, display.splashScreen))
        display.splashScreen.clear();
}
