#include "config/runtime_missing_message.h"

#include "common/message_format.h"
#include "common/text_scan.h"
#include "config/application_section.h"
#include "config/ini_value.h"

const char kRuntimeNotFoundFormat[] =
    "Java Runtime Environment (JRE) not found. Please download and install JRE (%s) from: \n"
    "https://adoptium.net/";
const char kAddressControlCharacterMessage[] =
    "The setting Runtime Download Address holds a control character: write the address alone.";

namespace {

const char kMessageKey[] = "Runtime Missing Message";
const char kAddressKey[] = "Runtime Download Address";
const char kOwnAddress[] = "https://adoptium.net/";
// The launcher's own sentence is its message up to its address.
const size_t kOwnSentenceLength = sizeof kRuntimeNotFoundFormat - sizeof kOwnAddress;
const char kRequirementMark[] = "%1";
const char kPassedOverHeading[] = "\n\nFound, but not taken:";
const char kPassedOverFormat[] = "\nJava %s in %s: %s";
const char kMoreFormat[] = "\nand %d more (the trace names them)";

bool hasControlCharacter(const Text& text)
{
    for (size_t i = 0; i < text.length(); ++i) {
        unsigned char c = static_cast<unsigned char>(text.at(i));
        if (c < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

// The application's sentence with each %1 replaced by the phrase.
bool appendWithRequirement(Text& message, const Text& text, const Text& requirement)
{
    for (size_t at = 0; at < text.length();) {
        size_t mark = findText(text, Text(kRequirementMark), at);
        size_t end = mark == kNotFound ? text.length() : mark;
        if (!message.append(text.chars() + at, end - at) || (mark != kNotFound && !message.append(requirement)))
            return false;
        at = mark == kNotFound ? end : mark + sizeof kRequirementMark - 1;
    }
    return true;
}

bool appendPassedOver(Text& message, const PassedOverList& passedOver)
{
    if (passedOver.count() == 0)
        return true;
    if (!message.append(kPassedOverHeading))
        return false;
    for (size_t i = 0; i < passedOver.count() && i < kShownPassedOver; ++i) {
        const PassedOverRuntime& runtime = passedOver.at(i);
        Text version = formatVersion(runtime.version);
        const FormatValue values[] = { version, runtime.home, runtime.reason };
        if (!message.append(formatMessage(kPassedOverFormat, values, 3)))
            return false;
    }
    if (passedOver.count() <= kShownPassedOver)
        return true;
    const FormatValue more[] = { static_cast<int>(passedOver.count() - kShownPassedOver) };
    return message.append(formatMessage(kMoreFormat, more, 1));
}

}

bool readRuntimeMessageSettings(const LaunchPaths& paths, RuntimeMessageSettings& settings, Failure& failure)
{
    const char* ini = paths.settingsPath.chars();
    settings.message = readIniValue(ini, kApplicationSection, kMessageKey);
    settings.address = readIniValue(ini, kApplicationSection, kAddressKey);
    return !hasControlCharacter(settings.address) || fail(failure, kAddressControlCharacterMessage);
}

bool failRuntimeNotFound(Failure& failure, const RuntimeMessageSettings& settings, const Text& requirement,
                         const PassedOverList& passedOver)
{
    if (settings.message.isEmpty() && settings.address.isEmpty() && passedOver.count() == 0)
        return fail(failure, kRuntimeNotFoundFormat, requirement.chars());
    Text message;
    bool made = false;
    if (settings.message.isEmpty()) {
        message = formatMessage(Text(kRuntimeNotFoundFormat, kOwnSentenceLength).chars(), requirement.chars());
        made = !message.isEmpty();
    } else {
        made = appendWithRequirement(message, settings.message, requirement) && message.appendChar('\n');
    }
    made = made && message.append(settings.address.isEmpty() ? kOwnAddress : settings.address.chars())
        && appendPassedOver(message, passedOver);
    // Without memory for it, the launcher's own message still says what is wrong.
    return failWithText(failure, kRuntimeNotFoundFormat, made ? static_cast<Text&&>(message) : Text());
}
