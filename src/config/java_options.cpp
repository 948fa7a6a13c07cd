#include "config/java_options.h"

#include "common/trace.h"
#include "config/argument_file.h"
#include "platform/files.h"

#include <string.h>

const char kMissingValueFormat[] = "The option %s in Virtual Machine Parameters needs a value after it.";
const char kJavaCommandOptionFormat[] =
    "The option %s in Virtual Machine Parameters is one of the java command's own and has no meaning here.";
const char kMainModuleOptionFormat[] =
    "The option %s in Virtual Machine Parameters cannot name the main module: use the setting Main Module.";
const char kMainJarOptionFormat[] =
    "The option %s in Virtual Machine Parameters cannot name the main JAR: put the JAR in Class Path.";
const char kArgumentFileFormat[] = "The argument file %s named in Virtual Machine Parameters cannot be read.";
const char kArgumentFileTooLargeFormat[] =
    "The argument file %s named in Virtual Machine Parameters is larger than 2147483647 bytes.";

namespace {

// As large as the java command reads; it refuses a larger file by its size.
const unsigned long long kLargestArgumentFile = 0x7fffffff;

const char kDisableArgumentFiles[] = "--disable-@files";

enum class Rule : unsigned char {
    ModuleOption, // "--name value" becomes "--name=value" (and -p is --module-path)
    ClassPath,    // its value, the next item, goes to the class path
    ClassPathIs,  // the rest of the item goes to the class path
    VmKind,       // chooses the VM library
    Splash,       // the rest of the item is the splash file
    Becomes,      // becomes another option, or none
    SizePrefix,   // -ss, -ms, -mx followed by a size become -Xss, -Xms, -Xmx
    Refused,      // named in a message
};

// What the java command does with the options it takes. A name that ends
// in '=' or ':', and every size prefix, matches the start of an item; any
// other the whole item. Only options the machine refuses are here, so that
// whatever it took before it is still handed.
struct JavaOption {
    const char* name;
    Rule rule;
    const char* becomes; // the option it becomes, or the message format
};

const JavaOption kJavaOptions[] = {
    { "-p", Rule::ModuleOption, "--module-path" },
    { "--module-path", Rule::ModuleOption, nullptr },
    { "--upgrade-module-path", Rule::ModuleOption, nullptr },
    { "--add-modules", Rule::ModuleOption, nullptr },
    { "--enable-native-access", Rule::ModuleOption, nullptr },
    { "--limit-modules", Rule::ModuleOption, nullptr },
    { "--add-exports", Rule::ModuleOption, nullptr },
    { "--add-opens", Rule::ModuleOption, nullptr },
    { "--add-reads", Rule::ModuleOption, nullptr },
    { "--patch-module", Rule::ModuleOption, nullptr },
    { "-cp", Rule::ClassPath, nullptr },
    { "-classpath", Rule::ClassPath, nullptr },
    { "--class-path", Rule::ClassPath, nullptr },
    { "--class-path=", Rule::ClassPathIs, nullptr },
    { "-client", Rule::VmKind, nullptr },
    { "-server", Rule::VmKind, nullptr },
    { "-splash:", Rule::Splash, nullptr },
    { kDisableArgumentFiles, Rule::Becomes, nullptr },
    { "-Xdiag", Rule::Becomes, "-Dsun.java.launcher.diag=true" },
    { "--show-module-resolution", Rule::Becomes, "-Djdk.module.showModuleResolution=true" },
    { "-noclassgc", Rule::Becomes, "-Xnoclassgc" },
    { "-verify", Rule::Becomes, "-Xverify:all" },
    { "-verifyremote", Rule::Becomes, "-Xverify:remote" },
    { "-noverify", Rule::Becomes, "-Xverify:none" },
    { "-debug", Rule::Becomes, nullptr },
    { "-ss", Rule::SizePrefix, nullptr },
    { "-ms", Rule::SizePrefix, nullptr },
    { "-mx", Rule::SizePrefix, nullptr },
    { "-m", Rule::Refused, kMainModuleOptionFormat },
    { "--module", Rule::Refused, kMainModuleOptionFormat },
    { "--module=", Rule::Refused, kMainModuleOptionFormat },
    { "-jar", Rule::Refused, kMainJarOptionFormat },
};

// Options that have java print something, or run something other than the
// application's main class, and stop; named as those above.
const char* const kJavaCommandOptions[] = {
    "-version", "--version", "-showversion", "--show-version", "-fullversion", "--full-version", "--dry-run", "-h",
    "-help", "--help", "-?", "-X", "--help-extra", "--list-modules", "--show-resolved-modules",
    "--validate-modules", "--describe-module", "--describe-module=", "-d", "--source", "--source=",
    "-XshowSettings", "-XshowSettings:",
};

bool matches(const Text& item, const char* name, bool prefix)
{
    size_t length = strlen(name);
    char last = name[length - 1];
    if (prefix || last == '=' || last == ':')
        return item.startsWith(name);
    return item.equals(name);
}

// The option the item is, or null; a java command option is given as one
// of the refused ones.
const JavaOption* javaOption(const Text& item)
{
    static const JavaOption kJavaCommandOption = { "", Rule::Refused, kJavaCommandOptionFormat };
    for (const JavaOption& option : kJavaOptions)
        if (matches(item, option.name, option.rule == Rule::SizePrefix))
            return &option;
    for (const char* name : kJavaCommandOptions)
        if (matches(item, name, false))
            return &kJavaCommandOption;
    return nullptr;
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
bool expandArgumentFiles(const TextList& parameters, ArgumentFileSplitting splitting, const void* context,
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
            const char* path = item.chars() + 1;
            switch (splitting(path, expanded, context)) {
            case ArgumentFileOutcome::Split:
                break;
            case ArgumentFileOutcome::CannotRead:
                return fail(failure, kArgumentFileFormat, path);
            case ArgumentFileOutcome::TooLarge:
                return fail(failure, kArgumentFileTooLargeFormat, path);
            case ArgumentFileOutcome::OutOfMemory:
                return outOfMemory(failure);
            }
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
        const JavaOption* option = javaOption(item);
        if (!option)
            return append(item);
        const char* rest = item.chars() + strlen(option->name);
        switch (option->rule) {
        case Rule::ModuleOption:
            return moduleOption(i, option->becomes ? option->becomes : option->name);
        case Rule::ClassPath:
            return classPathOption(i);
        case Rule::ClassPathIs:
            return setClassPath(rest);
        case Rule::VmKind:
            return result_.vmLibraryKind.assign(item.chars() + 1) || outOfMemory(failure_);
        case Rule::Splash:
            return result_.splashPath.assign(rest) || outOfMemory(failure_);
        case Rule::Becomes:
            return !option->becomes || append(option->becomes);
        case Rule::SizePrefix: {
            Text larger;
            return (larger.assign("-X") && larger.append(item.chars() + 1) && append(larger))
                || outOfMemory(failure_);
        }
        case Rule::Refused:
            return fail(failure_, option->becomes, item.chars());
        }
        return false;
    }

    bool moduleOption(size_t& i, const char* name)
    {
        const Text* value = valueAfter(items_, i);
        if (!value || value->isEmpty())
            return fail(failure_, kMissingValueFormat, items_.at(i).chars());
        ++i;
        Text option;
        return (option.assign(name) && option.appendChar('=') && option.append(*value) && append(option))
            || outOfMemory(failure_);
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
        return result_.classPath.assign(value) || outOfMemory(failure_);
    }

    bool append(const Text& option) { return result_.vmOptions.append(option) || outOfMemory(failure_); }
    bool append(const char* option) { return result_.vmOptions.append(option) || outOfMemory(failure_); }

    const TextList& items_;
    JavaOptions& result_;
    OptionFailure& failure_;
};

}

ArgumentFileOutcome splitArgumentFileAt(const char* path, TextList& items, const void*)
{
    return splitArgumentFileUpTo(path, kLargestArgumentFile, items);
}

ArgumentFileOutcome splitArgumentFileUpTo(const char* path, unsigned long long largest, TextList& items)
{
    ArgumentFileSplitter splitter(items);
    auto receive = [](const char* bytes, size_t length, void* context) {
        return static_cast<ArgumentFileSplitter*>(context)->take(bytes, length);
    };
    switch (platform::readFileInRuns(path, largest, receive, &splitter)) {
    case platform::FileReading::Done:
        return splitter.finish() ? ArgumentFileOutcome::Split : ArgumentFileOutcome::OutOfMemory;
    case platform::FileReading::CannotRead:
        return ArgumentFileOutcome::CannotRead;
    case platform::FileReading::TooLarge:
        return ArgumentFileOutcome::TooLarge;
    case platform::FileReading::Stopped:
        break;
    }
    return ArgumentFileOutcome::OutOfMemory;
}

bool translateJavaOptions(const TextList& parameters, ArgumentFileSplitting splitting, const void* context,
                          JavaOptions& result, OptionFailure& failure, const TextList* expandedAfter)
{
    TextList items;
    if (!expandArgumentFiles(parameters, splitting, context, items, failure))
        return false;
    for (size_t i = 0; expandedAfter && i < expandedAfter->count(); ++i)
        if (!items.append(expandedAfter->at(i)))
            return outOfMemory(failure);
    return Translation(items, result, failure).run();
}

bool translateJavaOptions(const TextList& parameters, ArgumentFileReader reader, const void* context,
                          JavaOptions& result, OptionFailure& failure)
{
    struct WholeFiles {
        ArgumentFileReader reader;
        const void* context;
    };
    const WholeFiles files = { reader, context };
    auto splitWhole = [](const char* path, TextList& items, const void* context) {
        const WholeFiles& files = *static_cast<const WholeFiles*>(context);
        Text contents;
        if (!files.reader(path, contents, files.context))
            return ArgumentFileOutcome::CannotRead;
        return splitArgumentFile(contents, items) ? ArgumentFileOutcome::Split : ArgumentFileOutcome::OutOfMemory;
    };
    return translateJavaOptions(parameters, splitWhole, &files, result, failure);
}

bool appendOptionClassPath(Text& classPathOption, bool settingGiven, const JavaOptions& options)
{
    if (!options.hasClassPath || options.classPath.isEmpty())
        return true;
    return (!settingGiven || classPathOption.appendChar(platform::kPathListSeparator))
        && classPathOption.append(options.classPath);
}
