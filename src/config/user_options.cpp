#include "config/user_options.h"

#include "common/message_format.h"
#include "common/text_scan.h"
#include "common/trace.h"
#include "config/application_section.h"
#include "config/ini_value.h"
#include "config/variables.h"
#include "platform/files.h"

const unsigned long long kLargestUserOptionsFile = 1048576;
const char kUserOptionsFormat[] =
    "The user options file %s %s Removing the file restores the application's own options.";

namespace {

const char kUserOptionsFileKey[] = "User Options File";
const char kCannotRead[] = "cannot be read.";
const char kTooLarge[] = "is larger than 1048576 bytes.";
const char kNamesArgumentFileFormat[] = "cannot be taken. It names %s: no argument file names another.";
const char kRefusedPrefix[] = "cannot be taken. ";
// The parameters' message for an option, said of the file without it.
const char kParametersPlace[] = " in Virtual Machine Parameters";

bool refuseOption(Failure& failure, const char* path, const OptionFailure& refusal)
{
    if (!refusal.format)
        return fail(failure, kOutOfMemoryMessage);
    Text said = formatMessage(refusal.format, refusal.subject.chars());
    Text parametersPlace;
    Text reason;
    if (!parametersPlace.assign(kParametersPlace) || !reason.assign(kRefusedPrefix))
        return fail(failure, kOutOfMemoryMessage);
    size_t place = findText(said, parametersPlace, 0);
    bool made = !said.isEmpty() && place != kNotFound && reason.append(said.chars(), place)
        && reason.append(said.chars() + place + sizeof kParametersPlace - 1);
    return made ? fail(failure, kUserOptionsFormat, path, reason.chars()) : fail(failure, kOutOfMemoryMessage);
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
        if (items.at(i).chars()[0] == '@') {
            Text reason = formatMessage(kNamesArgumentFileFormat, items.at(i).chars());
            return reason.isEmpty() ? fail(failure, kOutOfMemoryMessage)
                                    : fail(failure, kUserOptionsFormat, path, reason.chars());
        }
    // No item names an argument file: the reader is never asked. The
    // translation adds to the parameters' options, and what counts once
    // (the class path, the VM library, the splash) is the user's where given.
    auto noFile = [](const char*, TextList&, const void*) { return ArgumentFileOutcome::CannotRead; };
    OptionFailure refusal;
    return translateJavaOptions(items, noFile, nullptr, options, refusal) || refuseOption(failure, path, refusal);
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
