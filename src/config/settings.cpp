#include "config/settings.h"

#include "common/text_scan.h"
#include "config/ini_value.h"
#include "config/java_options.h"
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

// The class path option first, then the parameters as java takes them.
bool appendJavaOptions(Launcher& launcher, const Text& classPath, const TextList& parameters)
{
    JavaOptions options;
    OptionFailure failure;
    if (!translateJavaOptions(parameters, readArgumentFile, nullptr, options, failure)) {
        if (!failure.format)
            return outOfMemory(launcher);
        reportFormatted(launcher.messageOwner, failure.format, failure.subject.chars());
        return false;
    }
    Text classPathOption(kClassPathOption);
    if (!classPathOption.append(classPath) || !appendOptionClassPath(classPathOption, !classPath.isEmpty(), options)
        || !launcher.vmOptions.append(classPathOption))
        return outOfMemory(launcher);
    for (size_t i = 0; i < options.vmOptions.count(); ++i)
        if (!launcher.vmOptions.append(options.vmOptions.at(i)))
            return outOfMemory(launcher);
    launcher.vmLibraryKind = static_cast<Text&&>(options.vmLibraryKind);
    // The parameters' -splash: wins over the Splash Screen setting's image, as
    // java's wins over a JAR's.
    if (!options.splashPath.isEmpty())
        launcher.splashImage = static_cast<Text&&>(options.splashPath);
    return true;
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
    Text expandedClassPath;
    TextList parameters;
    if (!expandSettingVariables(classPath, directory, expandedClassPath)
        || !appendParameters(readIniValue(ini, kRuntimeSection, kParametersKey), directory, parameters))
        return outOfMemory(launcher);
    if (!appendJavaOptions(launcher, expandedClassPath, parameters))
        return false;

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
