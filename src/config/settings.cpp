#include "config/settings.h"

#include "common/argument_splitting.h"
#include "common/text_scan.h"
#include "common/trace.h"
#include "config/class_path_wildcards.h"
#include "config/ini_value.h"
#include "config/java_options.h"
#include "config/options_variable.h"
#include "config/user_options.h"
#include "config/variables.h"
#include "config/working_directory.h"
#include "platform/files.h"
#include "platform/process.h"

const char kNoMainClassMessage[] = "Main class was not specified in INI file.";

namespace {

const char kClassPathOption[] = "-Djava.class.path=";
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
const char kWorkingDirectoryKey[] = "Working Directory";
const char kMainArgumentsKey[] = "Main Arguments";
const char kIgnoreOptionsVariableKey[] = "Ignore JDK_JAVA_OPTIONS";

const char kPreferredSeparator[] = ";";

const char kNoClassPathMessage[] = "Java Class Path was not specified in INI file.";

// Each option (or argument) is expanded after the split: a directory with
// spaces in it stays one.
bool appendParameters(const Text& parameters, const Text& executableDirectory, TextList& options)
{
    TextList items;
    if (!tokenizeParameters(parameters, items))
        return false;
    for (size_t i = 0; i < items.count(); ++i) {
        Text option;
        if (!expandSettingVariables(items.at(i), executableDirectory, option) || !options.append(option))
            return false;
    }
    return true;
}

// The entries of the class path that are JAR files, in order: one of them
// may name the main class in its manifest.
bool findJarFiles(const TextList& entries, TextList& jars)
{
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

// Main Module as java -m takes it: the module's name, then the class after a
// '/', its own or else Main Class ("app" and app.Main: "app/app.Main"); that
// class replaces Main Class; and the option with the module's name alone,
// which the VM resolves at its start. The one place a module and its class
// are split and joined.
bool readMainModule(const Text& setting, LaunchSettings& settings)
{
    size_t slash = findCharacter(setting, '/');
    size_t nameLength = slash == kNotFound ? setting.length() : slash;
    Text& mainClass = settings.mainClassName;
    if (slash != kNotFound && !mainClass.assign(setting.chars() + slash + 1, setting.length() - slash - 1))
        return false;
    settings.mainModuleNamesClass = slash != kNotFound || !mainClass.isEmpty();
    Text& joined = settings.mainModule;
    Text option;
    return joined.assign(setting.chars(), nameLength)
        && (!settings.mainModuleNamesClass || (joined.appendChar('/') && joined.append(mainClass)))
        && option.assign(kMainModuleOption) && option.append(setting.chars(), nameLength)
        && settings.vmOptions.append(option);
}

bool setsClassPath(const TextList& options)
{
    for (size_t i = 0; i < options.count(); ++i)
        if (options.at(i).startsWith(kClassPathOption))
            return true;
    return false;
}

// The class path the machine takes: the last class path option's.
bool takeClassPath(const TextList& options, TextList& entries)
{
    const size_t prefixLength = sizeof kClassPathOption - 1;
    const Text* last = nullptr;
    for (size_t i = 0; i < options.count(); ++i)
        if (options.at(i).startsWith(kClassPathOption))
            last = &options.at(i);
    Text separator;
    Text classPath;
    return !last
        || (separator.appendChar(platform::kPathListSeparator) && classPath.assign(last->chars() + prefixLength)
            && splitAtSeparator(entries, classPath, separator));
}

// The class path option first (none for a modular application without one),
// then the parameters as java takes them (with JDK_JAVA_OPTIONS's), then the
// user's options (the main module's option follows). A class path
// application needs a class path: the setting's or the options' own.
bool appendJavaOptions(LaunchSettings& settings, const LaunchPaths& paths, const Text& classPath,
                       const TextList& parameters, const TextList& variableOptions, bool modular, Failure& failure)
{
    JavaOptions options;
    OptionFailure optionFailure;
    if (!translateJavaOptions(parameters, splitArgumentFileAt, nullptr, options, optionFailure, &variableOptions)) {
        if (!optionFailure.format)
            return fail(failure, kOutOfMemoryMessage);
        return fail(failure, optionFailure.format, optionFailure.subject.chars());
    }
    if (!addUserOptions(paths, options, failure))
        return false;
    if (classPath.isEmpty() && !options.hasClassPath && !modular && !setsClassPath(options.vmOptions))
        return fail(failure, kNoClassPathMessage);
    // The setting's entries and the parameters' ones are widened alike, as
    // java widens -cp.
    Text given;
    Text widened;
    Text classPathOption;
    if (!classPathOption.assign(kClassPathOption) || !given.append(classPath)
        || !appendOptionClassPath(given, !classPath.isEmpty(), options) || !widenClassPath(given, widened))
        return fail(failure, kOutOfMemoryMessage);
    // The machine takes relative entries from the working directory.
    bool anchored = settings.startDirectory.isEmpty()
        ? classPathOption.append(widened)
        : anchorClassPath(widened, settings.startDirectory, platform::kPathListSeparator, platform::isAbsolutePath,
                          classPathOption);
    if (!anchored)
        return fail(failure, kOutOfMemoryMessage);
    bool withClassPath = !modular || classPathOption.length() > sizeof kClassPathOption - 1;
    TextList& vmOptions = settings.vmOptions;
    if (withClassPath && !vmOptions.append(classPathOption))
        return fail(failure, kOutOfMemoryMessage);
    for (size_t i = 0; i < options.vmOptions.count(); ++i)
        if (!vmOptions.append(options.vmOptions.at(i)))
            return fail(failure, kOutOfMemoryMessage);
    if (!takeClassPath(vmOptions, settings.classPath))
        return fail(failure, kOutOfMemoryMessage);
    settings.vmLibraryKind = static_cast<Text&&>(options.vmLibraryKind);
    settings.splashImage = static_cast<Text&&>(options.splashPath);
    return settings.startDirectory.isEmpty() || anchorInStartDirectory(settings.splashImage, settings.startDirectory)
        || fail(failure, kOutOfMemoryMessage);
}

// The folder to change to, names expanded, and the one the launcher started
// in, which the relative paths it hands over are anchored in (when it cannot
// be had they stay as they are).
bool readWorkingDirectory(const char* ini, const Text& executableDirectory, LaunchSettings& settings)
{
    Text written = readIniValue(ini, kRuntimeSection, kWorkingDirectoryKey);
    if (written.isEmpty())
        return true;
    if (!expandSettingVariables(written, executableDirectory, settings.workingDirectory))
        return false;
    if (!platform::currentDirectory(settings.startDirectory))
        settings.startDirectory.clear();
    trace("start directory: %s", { settings.startDirectory.isEmpty() ? "not to be had" : settings.startDirectory.chars() });
    return true;
}

// JDK_JAVA_OPTIONS, unless the settings ignore it, as java reads it, with
// its note; false with java's message where java refuses it.
bool readOptionsVariable(const char* ini, LaunchSettings& settings, TextList& options, Failure& failure)
{
    Text value;
    if (readIniValue(ini, kRuntimeSection, kIgnoreOptionsVariableKey).equals("true")
        || !platform::environmentVariable(kOptionsVariable, value))
        return true;
    // Without memory for the note the options still count.
    (void)optionsVariableNote(value, settings.optionsNote);
    return splitOptionsVariable(value, splitArgumentFileAt, nullptr, options, failure);
}

// Without a main class or module a JAR file of the class path may name one.
bool findMainJarCandidates(LaunchSettings& settings, Failure& failure)
{
    if (!findJarFiles(settings.classPath, settings.mainJarCandidates))
        return fail(failure, kOutOfMemoryMessage);
    // Only a JAR file can name the main class; without one, as always.
    return settings.mainJarCandidates.count() > 0 || fail(failure, kNoMainClassMessage);
}

}

bool loadSettings(const LaunchPaths& paths, LaunchSettings& settings, Failure& failure)
{
    const char* ini = paths.settingsPath.chars();
    Text classPath = readIniValue(ini, kClassPathSection, kClassPathKey);
    // A modular application needs no class path.
    Text mainModule = readIniValue(ini, kRuntimeSection, kMainModuleKey);
    bool modular = !mainModule.isEmpty();
    if (!readWorkingDirectory(ini, paths.directory, settings))
        return fail(failure, kOutOfMemoryMessage);
    TextList variableOptions;
    if (!readOptionsVariable(ini, settings, variableOptions, failure))
        return false;
    Text expandedClassPath;
    TextList parameters;
    if (!expandSettingVariables(classPath, paths.directory, expandedClassPath)
        || !appendParameters(readIniValue(ini, kRuntimeSection, kParametersKey), paths.directory, parameters))
        return fail(failure, kOutOfMemoryMessage);
    if (!appendJavaOptions(settings, paths, expandedClassPath, parameters, variableOptions, modular, failure))
        return false;

    if (!appendParameters(readIniValue(ini, kRuntimeSection, kMainArgumentsKey), paths.directory,
                          settings.mainArguments))
        return fail(failure, kOutOfMemoryMessage);
    settings.mainClassName = readIniValue(ini, kRuntimeSection, kMainClassKey);
    if (modular && !readMainModule(mainModule, settings))
        return fail(failure, kOutOfMemoryMessage);
    if (settings.mainClassName.isEmpty() && !modular && !findMainJarCandidates(settings, failure))
        return false;
    // As FindClass takes it: the one place a class name is turned so.
    replaceCharacter(settings.mainClassName, '.', '/');

    settings.minimumVersion = parseVersionBound(readIniValue(ini, kRuntimeSection, kMinimumVersionKey).chars(), false);
    settings.maximumVersion = parseVersionBound(readIniValue(ini, kRuntimeSection, kMaximumVersionKey).chars(), true);
    Text separator;
    if (!separator.assign(kPreferredSeparator)
        || !splitAtSeparator(settings.preferredVersions, readIniValue(ini, kRuntimeSection, kPreferredVersionsKey),
                             separator))
        return fail(failure, kOutOfMemoryMessage);
    // Exactly "true", as for the splash shadow.
    settings.startupCache = readIniValue(ini, kRuntimeSection, kStartupCacheKey).equals("true");
    return true;
}
