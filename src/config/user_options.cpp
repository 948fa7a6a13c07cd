#include "config/user_options.h"

#include "common/message_format.h"
#include "common/trace.h"
#include "config/application_section.h"
#include "config/ini_value.h"
#include "config/variables.h"
#include "platform/files.h"

const unsigned long long kLargestUserOptionsFile = 1048576;
const char kUserOptionsFormat[] =
    "The user options file %s %s. Removing the file restores the application's own options.";

namespace {

const char kUserOptionsFileKey[] = "User Options File";
const char kCannotRead[] = "cannot be read";
const char kTooLarge[] = "is larger than 1048576 bytes";
const char kArgumentFileReason[] = "holds %s, which names an argument file: the file cannot name one";

// What the parameters' messages say of an option, said of the user's file.
struct RefusalReason {
    const char* parametersFormat;
    const char* reason;
};
const RefusalReason kRefusalReasons[] = {
    { kMissingValueFormat, "holds the option %s, which needs a value after it" },
    { kJavaCommandOptionFormat, "holds the option %s, which is one of the java command's own and has no meaning here" },
    { kMainModuleOptionFormat, "holds the option %s, which cannot name the main module: that is the setting Main Module" },
    { kMainJarOptionFormat, "holds the option %s, which cannot name the main JAR" },
};

bool refuse(Failure& failure, const char* path, const char* reasonFormat, const char* subject)
{
    Text reason = formatMessage(reasonFormat, subject);
    return fail(failure, kUserOptionsFormat, path, reason.isEmpty() ? reasonFormat : reason.chars());
}

bool refuseOption(Failure& failure, const char* path, const OptionFailure& refusal)
{
    for (const RefusalReason& known : kRefusalReasons)
        if (known.parametersFormat == refusal.format)
            return refuse(failure, path, known.reason, refusal.subject.chars());
    return fail(failure, kOutOfMemoryMessage);
}

// The user's class path, VM library and splash count over the parameters'.
bool appendOptions(JavaOptions& options, JavaOptions& user)
{
    for (size_t i = 0; i < user.vmOptions.count(); ++i)
        if (!options.vmOptions.append(user.vmOptions.at(i)))
            return false;
    if (user.hasClassPath) {
        options.hasClassPath = true;
        options.classPath = static_cast<Text&&>(user.classPath);
    }
    if (!user.vmLibraryKind.isEmpty())
        options.vmLibraryKind = static_cast<Text&&>(user.vmLibraryKind);
    if (!user.splashPath.isEmpty())
        options.splashPath = static_cast<Text&&>(user.splashPath);
    return true;
}

}

bool readUserOptionsFile(const char* path, TextList& items, Failure& failure)
{
    switch (splitArgumentFileUpTo(path, kLargestUserOptionsFile, items)) {
    case ArgumentFileOutcome::Split:
        return true;
    case ArgumentFileOutcome::CannotRead:
        return fail(failure, kUserOptionsFormat, path, kCannotRead);
    case ArgumentFileOutcome::TooLarge:
        return fail(failure, kUserOptionsFormat, path, kTooLarge);
    case ArgumentFileOutcome::OutOfMemory:
        break;
    }
    return fail(failure, kOutOfMemoryMessage);
}

bool takeUserOptions(const char* path, const TextList& items, JavaOptions& options, Failure& failure)
{
    for (size_t i = 0; i < items.count(); ++i)
        if (items.at(i).chars()[0] == '@')
            return refuse(failure, path, kArgumentFileReason, items.at(i).chars());
    // No item names an argument file: the reader is never asked.
    auto noFile = [](const char*, TextList&, const void*) { return ArgumentFileOutcome::CannotRead; };
    JavaOptions user;
    OptionFailure refusal;
    if (!translateJavaOptions(items, noFile, nullptr, user, refusal))
        return refuseOption(failure, path, refusal);
    return appendOptions(options, user) || fail(failure, kOutOfMemoryMessage);
}

bool addUserOptions(const LaunchPaths& paths, JavaOptions& options, Failure& failure)
{
    Text path;
    if (!expandSettingVariables(readIniValue(paths.settingsPath.chars(), kApplicationSection, kUserOptionsFileKey),
                                paths.directory, path))
        return fail(failure, kOutOfMemoryMessage);
    if (path.isEmpty())
        return true;
    if (!platform::fileExists(path.chars())) {
        trace("user options file %s: not there", { path });
        return true;
    }
    TextList items;
    if (!readUserOptionsFile(path.chars(), items, failure))
        return false;
    trace("user options file %s: %d options", { path, static_cast<int>(items.count()) });
    for (size_t i = 0; i < items.count(); ++i)
        trace("  %s", { items.at(i) });
    return takeUserOptions(path.chars(), items, options, failure);
}
