#include "config/settings.h"

#include "common/text_scan.h"
#include "config/ini_value.h"
#include "config/java_options.h"
#include "config/module_path.h"
#include "config/variables.h"
#include "launcher/argument_splitting.h"
#include "launcher/error_reporting.h"
#include "launcher/launcher.h"
#include "platform/platform.h"

const char kDisplaySection[] = "Display";
const char kSplashScreenKey[] = "Splash Screen";
const char kSplashScreenShadowKey[] = "Splash Screen Shadow";
const char kSplashScreenMinimumTimeKey[] = "Splash Screen Minimum Time";
const char kClassPathOption[] = "-Djava.class.path=";
const char kNoMainClassMessage[] = "Main class was not specified in INI file.";

namespace {

const char kClassPathSection[] = "Class Path";
const char kClassPathKey[] = "Class Path";
const char kRuntimeSection[] = "Java Runtime Environment";
const char kParametersKey[] = "Virtual Machine Parameters";
const char kMainClassKey[] = "Main Class";
const char kMainModuleKey[] = "Main Module";
const char kMainModuleOption[] = "-Djdk.module.main=";
const char kMinimumVersionKey[] = "Minimum Version";
const char kMaximumVersionKey[] = "Maximum Version";
const char kPreferredVersionsKey[] = "Preferred versions";
const char kStartupCacheKey[] = "Startup Cache";

const char kPreferredSeparator[] = ";";

const char kNoClassPathMessage[] = "Java Class Path was not specified in INI file.";

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

// The entries of the class path that are JAR files, in order: one of them
// may name the main class in its manifest.
bool findJarFiles(const Text& classPath, TextList& jars)
{
    TextList entries;
    Text separator;
    if (!separator.appendChar(platform::kPathListSeparator) || !splitAtSeparator(entries, classPath, separator))
        return false;
    for (size_t i = 0; i < entries.count(); ++i) {
        const Text& entry = entries.at(i);
        size_t length = entry.length();
        bool jarName = length > 4 && entry.at(length - 4) == '.' && (entry.at(length - 3) | 0x20) == 'j'
            && (entry.at(length - 2) | 0x20) == 'a' && (entry.at(length - 1) | 0x20) == 'r';
        if (jarName && platform::fileExists(entry.chars()) && !platform::isDirectory(entry.chars())
            && !jars.append(entry))
            return false;
    }
    return true;
}

// The VM resolves the main module at its start, as for java -m: the module's
// name alone, the text before any '/'.
bool appendMainModuleOption(const Text& mainModule, TextList& options)
{
    size_t slash = findCharacter(mainModule, '/');
    Text option(kMainModuleOption);
    return option.append(mainModule.chars(), slash == kNotFound ? mainModule.length() : slash)
        && options.append(option);
}

bool outOfMemory(const Launcher& launcher)
{
    reportError(kOutOfMemoryMessage, launcher.messageOwner);
    return false;
}

// The class path option first (none for a modular application without one),
// then the parameters as java takes them, then the main module's option.
// classPath becomes the whole class path, the parameters' -cp included.
bool appendJavaOptions(Launcher& launcher, Text& classPath, const TextList& parameters, bool modular)
{
    JavaOptions options;
    OptionFailure failure;
    if (!translateJavaOptions(parameters, readArgumentFile, nullptr, options, failure)) {
        if (!failure.format)
            return outOfMemory(launcher);
        reportFormatted(launcher.messageOwner, failure.format, failure.subject.chars());
        return false;
    }
    const size_t prefixLength = sizeof kClassPathOption - 1;
    Text classPathOption(kClassPathOption);
    if (!classPathOption.append(classPath) || !appendOptionClassPath(classPathOption, !classPath.isEmpty(), options)
        || !classPath.assign(classPathOption.chars() + prefixLength, classPathOption.length() - prefixLength))
        return outOfMemory(launcher);
    if ((!modular || !classPath.isEmpty()) && !launcher.vmOptions.append(classPathOption))
        return outOfMemory(launcher);
    for (size_t i = 0; i < options.vmOptions.count(); ++i)
        if (!launcher.vmOptions.append(options.vmOptions.at(i)))
            return outOfMemory(launcher);
    if (modular && !appendMainModuleOption(launcher.mainModule, launcher.vmOptions))
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
    // A modular application needs no class path.
    launcher.mainModule = readIniValue(ini, kRuntimeSection, kMainModuleKey);
    bool modular = !launcher.mainModule.isEmpty();
    if (classPath.isEmpty() && !modular) {
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
    if (!appendJavaOptions(launcher, expandedClassPath, parameters, modular))
        return false;

    launcher.mainClassName = readIniValue(ini, kRuntimeSection, kMainClassKey);
    if (modular && !launcher.mainClassName.isEmpty() && findCharacter(launcher.mainModule, '/') == kNotFound
        && !(launcher.mainModule.appendChar('/') && launcher.mainModule.append(launcher.mainClassName)))
        return outOfMemory(launcher);
    if (launcher.mainClassName.isEmpty() && !modular) {
        if (!findJarFiles(expandedClassPath, launcher.mainJarCandidates))
            return outOfMemory(launcher);
        // Only a JAR file can name the main class; without one, as always.
        if (launcher.mainJarCandidates.count() == 0) {
            reportError(kNoMainClassMessage, launcher.messageOwner);
            return false;
        }
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
