#include "config/settings.h"

#include "common/text_scan.h"
#include "config/ini_value.h"
#include "config/module_path.h"
#include "config/variables.h"
#include "launcher/argument_splitting.h"
#include "launcher/error_reporting.h"
#include "launcher/launcher.h"

const char kDisplaySection[] = "Display";
const char kSplashScreenKey[] = "Splash Screen";
const char kSplashScreenShadowKey[] = "Splash Screen Shadow";
const char kSplashScreenMinimumTimeKey[] = "Splash Screen Minimum Time";
const char kClassPathOption[] = "-Djava.class.path=";

namespace {

const char kClassPathSection[] = "Class Path";
const char kClassPathKey[] = "Class Path";
const char kRuntimeSection[] = "Java Runtime Environment";
const char kParametersKey[] = "Virtual Machine Parameters";
const char kMainClassKey[] = "Main Class";
const char kMinimumVersionKey[] = "Minimum Version";
const char kMaximumVersionKey[] = "Maximum Version";
const char kPreferredVersionsKey[] = "Preferred versions";
const char kStartupCacheKey[] = "Startup Cache";

const char kPreferredSeparator[] = ";";

const char kNoClassPathMessage[] = "Java Class Path was not specified in INI file.";
const char kNoMainClassMessage[] = "Main class was not specified in INI file.";

// Each option is expanded after the split: a directory with spaces in it stays
// one option.
bool appendParameters(const Text& parameters, const Text& moduleDirectory, TextList& options)
{
    TextList items;
    if (!tokenizeParameters(parameters, items))
        return false;
    for (size_t i = 0; i < items.count(); ++i) {
        Text option;
        if (!expandSettingVariables(items.at(i), moduleDirectory, option) || !options.append(option))
            return false;
    }
    return true;
}

bool outOfMemory(const Launcher& launcher)
{
    reportError(kOutOfMemoryMessage, launcher.messageOwner);
    return false;
}

}

bool loadSettings(Launcher& launcher)
{
    Text iniPath;
    if (!getIniPath(launcher, iniPath))
        return false;
    const char* ini = iniPath.chars();

    Text classPath = readIniValue(ini, kClassPathSection, kClassPathKey);
    if (classPath.isEmpty()) {
        reportError(kNoClassPathMessage, launcher.messageOwner);
        return false;
    }
    Text directory;
    if (!getModuleDirectory(launcher, directory))
        return false;
    Text classPathOption(kClassPathOption);
    Text expandedClassPath;
    if (!expandSettingVariables(classPath, directory, expandedClassPath) || !classPathOption.append(expandedClassPath)
        || !launcher.vmOptions.append(classPathOption)
        || !appendParameters(readIniValue(ini, kRuntimeSection, kParametersKey), directory, launcher.vmOptions))
        return outOfMemory(launcher);

    launcher.mainClassName = readIniValue(ini, kRuntimeSection, kMainClassKey);
    if (launcher.mainClassName.isEmpty()) {
        reportError(kNoMainClassMessage, launcher.messageOwner);
        return false;
    }
    replaceCharacter(launcher.mainClassName, '.', '/');

    launcher.minimumVersion =
        parseVersionBound(readIniValue(ini, kRuntimeSection, kMinimumVersionKey).chars(), false);
    launcher.maximumVersion =
        parseVersionBound(readIniValue(ini, kRuntimeSection, kMaximumVersionKey).chars(), true);

    if (!splitAtSeparator(launcher.preferredVersions, readIniValue(ini, kRuntimeSection, kPreferredVersionsKey),
                          Text(kPreferredSeparator)))
        return outOfMemory(launcher);
    // Exactly "true", as for the splash shadow.
    launcher.startupCache = readIniValue(ini, kRuntimeSection, kStartupCacheKey).equals("true");
    return true;
}
