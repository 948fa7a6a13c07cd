#include "config/runtime_missing_message.h"

#include "common/message_format.h"
#include "common/text_scan.h"
#include "config/application_section.h"
#include "config/ini_value.h"
#include "runtime/runtime_search.h"

#include <string.h>

const char kAddressControlCharacterMessage[] = "The setting Runtime Download Address holds a control character.";

namespace {

const char kMessageKey[] = "Runtime Missing Message";
const char kAddressKey[] = "Runtime Download Address";
const char kPassedOverHeading[] = "\n\nFound, but not taken:";

bool hasControlCharacter(const Text& text)
{
    for (size_t i = 0; i < text.length(); ++i) {
        unsigned char c = static_cast<unsigned char>(text.at(i));
        if (c < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

// The application's sentence with each %1 replaced by the phrase ('%' and
// '1' are never the second byte of a double-byte character).
bool appendWithRequirement(Text& message, const char* text, const Text& requirement)
{
    for (const char* at = text; *at; ++at) {
        bool mark = at[0] == '%' && at[1] == '1';
        if (!(mark ? message.append(requirement) : message.appendChar(*at)))
            return false;
        at += mark;
    }
    return true;
}

bool appendPassedOver(Text& message, const TextList& passedOver)
{
    if (passedOver.count() == 0)
        return true;
    if (!message.append(kPassedOverHeading))
        return false;
    for (size_t i = 0; i < passedOver.count() && i < kShownPassedOver; ++i) {
        if (!message.appendChar('\n') || !message.append(passedOver.at(i)))
            return false;
    }
    return true;
}

}

bool checkRuntimeDownloadAddress(const LaunchPaths& paths, Failure& failure)
{
    Text address = readIniValue(paths.settingsPath.chars(), kApplicationSection, kAddressKey);
    return !hasControlCharacter(address) || fail(failure, kAddressControlCharacterMessage);
}

// The launcher's own sentence and address are the runtime search's message,
// on either side of its line end.
Text runtimeNotFoundMessage(const Text& text, const Text& address, const Text& requirement,
                            const TextList& passedOver)
{
    const char* ownAddress = strrchr(kRuntimeNotFoundFormat, '\n') + 1;
    Text message;
    bool made = false;
    if (text.isEmpty()) {
        message = formatMessage(kRuntimeNotFoundFormat, requirement.chars());
        size_t lineEnd = findLastCharacter(message, '\n');
        made = lineEnd != kNotFound;
        message.truncate(made ? lineEnd : 0);
    } else {
        made = appendWithRequirement(message, text.chars(), requirement);
    }
    made = made && message.appendChar('\n') && message.append(address.isEmpty() ? ownAddress : address.chars())
        && appendPassedOver(message, passedOver);
    return made ? static_cast<Text&&>(message) : Text();
}

// Without memory for the message, the launcher's own sentence still says
// what is wrong.
bool failRuntimeNotFound(Failure& failure, const LaunchPaths& paths, const Text& requirement,
                         const TextList& passedOver)
{
    const char* ini = paths.settingsPath.chars();
    return failWithText(failure, kRuntimeNotFoundFormat,
                        runtimeNotFoundMessage(readIniValue(ini, kApplicationSection, kMessageKey),
                                               readIniValue(ini, kApplicationSection, kAddressKey), requirement,
                                               passedOver));
}
