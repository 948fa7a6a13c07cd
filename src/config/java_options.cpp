#include "config/java_options.h"

#include "common/trace.h"
#include "config/argument_file.h"
#include "platform/platform.h"

#include <string.h>

const char kMissingValueFormat[] = "The option %s in Virtual Machine Parameters needs a value after it.";
const char kJavaCommandOptionFormat[] =
    "The option %s in Virtual Machine Parameters is one of the java command's own and has no meaning here.";
const char kMainModuleOptionFormat[] =
    "The option %s in Virtual Machine Parameters cannot name the main module: use the setting Main Module.";
const char kMainJarOptionFormat[] =
    "The option %s in Virtual Machine Parameters cannot name the main JAR: put the JAR in Class Path.";
const char kArgumentFileFormat[] = "The argument file %s named in Virtual Machine Parameters cannot be read.";

namespace {

// As large as the java command reads.
const size_t kArgumentFileLimit = 0x7fffffff;

const char kDisableArgumentFiles[] = "--disable-@files";
const char kSplashPrefix[] = "-splash:";

// Options of the module system that java also takes with their value as the
// next item, and hands to the machine as one "--name=value".
const char* const kModuleOptions[] = {
    "--module-path", "--upgrade-module-path", "--add-modules", "--enable-native-access", "--limit-modules",
    "--add-exports", "--add-opens", "--add-reads", "--patch-module",
};
const char kModulePathAlias[] = "-p";
const char kModulePath[] = "--module-path";

const char* const kClassPathOptions[] = { "-cp", "-classpath", "--class-path" };
const char kClassPathLongForm[] = "--class-path=";

const char* const kVmLibraryKinds[] = { "-client", "-server" };

// The java command's old spellings, and what it hands the machine for them
// (nothing for -debug).
struct Spelling {
    const char* option;
    const char* becomes;
};
const Spelling kOldSpellings[] = {
    { "-Xdiag", "-Dsun.java.launcher.diag=true" },
    { "--show-module-resolution", "-Djdk.module.showModuleResolution=true" },
    { "-noclassgc", "-Xnoclassgc" },
    { "-verify", "-Xverify:all" },
    { "-verifyremote", "-Xverify:remote" },
    { "-noverify", "-Xverify:none" },
    { "-debug", "" },
};
// -ss, -ms and -mx followed by a size become -Xss, -Xms and -Xmx.
const char* const kOldSizePrefixes[] = { "-ss", "-ms", "-mx" };

// Options that tell the java command to print something, or to run
// something other than the application's main class, and to stop.
const char* const kJavaCommandOptions[] = {
    "-version", "--version", "-showversion", "--show-version", "-fullversion", "--full-version", "--dry-run",
    "-h", "-help", "--help", "-?", "-X", "--help-extra", "--list-modules", "--show-resolved-modules",
    "--validate-modules", "--describe-module", "-d", "--source", "-XshowSettings",
};
const char* const kJavaCommandPrefixes[] = { "--describe-module=", "--source=", "-XshowSettings:" };
const char* const kMainModuleOptions[] = { "-m", "--module" };
const char kMainModuleLongForm[] = "--module=";
const char kMainJarOption[] = "-jar";

template <size_t N>
bool isOneOf(const Text& item, const char* const (&names)[N])
{
    for (const char* name : names)
        if (item.equals(name))
            return true;
    return false;
}

bool startsWith(const Text& item, const char* prefix)
{
    return strncmp(item.chars(), prefix, strlen(prefix)) == 0;
}

template <size_t N>
bool startsWithOneOf(const Text& item, const char* const (&prefixes)[N])
{
    for (const char* prefix : prefixes)
        if (startsWith(item, prefix))
            return true;
    return false;
}

bool fail(OptionFailure& failure, const char* format, const char* subject)
{
    failure.format = format;
    if (!failure.subject.assign(subject, strlen(subject)))
        failure.format = nullptr;
    return false;
}

bool outOfMemory(OptionFailure& failure)
{
    failure.format = nullptr;
    return false;
}

// Argument files are expanded where they stand, before anything else, as
// the java command does: "@@x" is the item "@x", a lone "@" is itself, and
// after --disable-@files (given anywhere, a file included) nothing is.
bool expandArgumentFiles(const TextList& parameters, ArgumentFileReader reader, const void* context,
                         TextList& expanded, OptionFailure& failure)
{
    bool expanding = true;
    for (size_t i = 0; i < parameters.count(); ++i) {
        const Text& item = parameters.at(i);
        size_t before = expanded.count();
        if (!expanding || item.length() < 2 || item.at(0) != '@') {
            if (!expanded.append(item))
                return outOfMemory(failure);
        } else if (item.at(1) == '@') {
            if (!expanded.append(item.chars() + 1, item.length() - 1))
                return outOfMemory(failure);
        } else {
            Text contents;
            const char* path = item.chars() + 1;
            if (!reader(path, contents, context))
                return fail(failure, kArgumentFileFormat, path);
            if (!splitArgumentFile(contents, expanded))
                return outOfMemory(failure);
            trace("argument file %s: %d items", { path, static_cast<int>(expanded.count() - before) });
        }
        for (size_t j = before; j < expanded.count(); ++j)
            if (expanded.at(j).equals(kDisableArgumentFiles))
                expanding = false;
    }
    return true;
}

// java takes the next item as the value unless it begins with '-'.
const Text* valueAfter(const TextList& items, size_t at)
{
    if (at + 1 >= items.count() || items.at(at + 1).chars()[0] == '-')
        return nullptr;
    return &items.at(at + 1);
}

bool assignText(Text& target, const char* chars)
{
    return target.assign(chars, strlen(chars));
}

class Translation {
public:
    Translation(const TextList& items, JavaOptions& result, OptionFailure& failure)
        : items_(items), result_(result), failure_(failure)
    {
    }

    bool run()
    {
        for (size_t i = 0; i < items_.count(); ++i)
            if (!translate(i))
                return false;
        return true;
    }

private:
    // One item, with its value when it takes one (then i moves past it).
    bool translate(size_t& i)
    {
        const Text& item = items_.at(i);
        if (isOneOf(item, kModuleOptions) || item.equals(kModulePathAlias))
            return moduleOption(i);
        if (isOneOf(item, kClassPathOptions))
            return classPathOption(i);
        if (startsWith(item, kClassPathLongForm))
            return setClassPath(item.chars() + strlen(kClassPathLongForm));
        if (isOneOf(item, kVmLibraryKinds)) {
            trace("VM library kind from the parameters: %s", { item.chars() + 1 });
            return assignText(result_.vmLibraryKind, item.chars() + 1) || outOfMemory(failure_);
        }
        if (startsWith(item, kSplashPrefix))
            return assignText(result_.splashPath, item.chars() + strlen(kSplashPrefix)) || outOfMemory(failure_);
        if (item.equals(kDisableArgumentFiles))
            return true;
        if (isOneOf(item, kMainModuleOptions) || startsWith(item, kMainModuleLongForm))
            return fail(failure_, kMainModuleOptionFormat, item.chars());
        if (item.equals(kMainJarOption))
            return fail(failure_, kMainJarOptionFormat, item.chars());
        if (isOneOf(item, kJavaCommandOptions) || startsWithOneOf(item, kJavaCommandPrefixes))
            return fail(failure_, kJavaCommandOptionFormat, item.chars());
        return oldSpelling(item);
    }

    bool moduleOption(size_t& i)
    {
        const Text& item = items_.at(i);
        const Text* value = valueAfter(items_, i);
        if (!value || value->isEmpty())
            return fail(failure_, kMissingValueFormat, item.chars());
        ++i;
        Text option(item.equals(kModulePathAlias) ? kModulePath : item.chars());
        if (!option.appendChar('=') || !option.append(*value) || !result_.vmOptions.append(option))
            return outOfMemory(failure_);
        return true;
    }

    // An empty value is a value here, as for java.
    bool classPathOption(size_t& i)
    {
        const Text* value = valueAfter(items_, i);
        if (!value)
            return fail(failure_, kMissingValueFormat, items_.at(i).chars());
        ++i;
        return setClassPath(value->chars());
    }

    bool setClassPath(const char* value)
    {
        result_.hasClassPath = true;
        return assignText(result_.classPath, value) || outOfMemory(failure_);
    }

    bool oldSpelling(const Text& item)
    {
        for (const Spelling& spelling : kOldSpellings) {
            if (!item.equals(spelling.option))
                continue;
            return !*spelling.becomes || result_.vmOptions.append(spelling.becomes) || outOfMemory(failure_);
        }
        if (startsWithOneOf(item, kOldSizePrefixes)) {
            Text option("-X");
            if (!option.append(item.chars() + 1) || !result_.vmOptions.append(option))
                return outOfMemory(failure_);
            return true;
        }
        return result_.vmOptions.append(item) || outOfMemory(failure_);
    }

    const TextList& items_;
    JavaOptions& result_;
    OptionFailure& failure_;
};

}

bool readArgumentFile(const char* path, Text& contents, const void*)
{
    return platform::readFileStart(path, kArgumentFileLimit, contents);
}

bool translateJavaOptions(const TextList& parameters, ArgumentFileReader reader, const void* context,
                          JavaOptions& result, OptionFailure& failure)
{
    TextList items;
    return expandArgumentFiles(parameters, reader, context, items, failure)
        && Translation(items, result, failure).run();
}

bool appendOptionClassPath(Text& classPathOption, bool settingGiven, const JavaOptions& options)
{
    if (!options.hasClassPath || options.classPath.isEmpty())
        return true;
    return (!settingGiven || classPathOption.appendChar(platform::kPathListSeparator))
        && classPathOption.append(options.classPath);
}
