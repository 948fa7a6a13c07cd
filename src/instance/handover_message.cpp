#include "instance/handover_message.h"

#include <string.h>

const size_t kHandOverHeaderLength = 16;
const size_t kLargestHandOver = 1 << 20;

namespace {

const unsigned char kMark[4] = { 'J', 'L', 'H', 'O' };
const unsigned kVersion = 1;
// Each text's two lengths in the table.
const size_t kLengthsPerText = 8;

unsigned readNumber(const unsigned char* at)
{
    return static_cast<unsigned>(at[0]) | static_cast<unsigned>(at[1]) << 8 | static_cast<unsigned>(at[2]) << 16
        | static_cast<unsigned>(at[3]) << 24;
}

bool appendNumber(Text& message, size_t number)
{
    const char bytes[4] = { static_cast<char>(number), static_cast<char>(number >> 8),
                            static_cast<char>(number >> 16), static_cast<char>(number >> 24) };
    return message.append(bytes, sizeof bytes);
}

const Text kNoUnits;

// wideArguments may be shorter than the arguments.
const Text& unitsAt(const TextList& wideArguments, size_t index)
{
    return index < wideArguments.count() ? wideArguments.at(index) : kNoUnits;
}

}

const char* handOverFaultText(HandOverFault fault)
{
    switch (fault) {
    case HandOverFault::None: return "whole";
    case HandOverFault::CutShort: return "cut short";
    case HandOverFault::NotAHandOver: return "not a hand-over";
    case HandOverFault::OtherVersion: return "of another version";
    case HandOverFault::TooLarge: return "larger than 1 MiB";
    case HandOverFault::BadCounts: return "with more arguments than it holds";
    case HandOverFault::BadLengths: return "with lengths that do not add up";
    case HandOverFault::TrailingBytes: return "with bytes after its end";
    case HandOverFault::NoMemory: break;
    }
    return "too large for the memory left";
}

HandOverFault encodeHandOver(const Text& directory, const Text& directoryUnits, const TextList& arguments,
                             const TextList& wideArguments, Text& message)
{
    size_t count = arguments.count();
    size_t total = kHandOverHeaderLength + kLengthsPerText * (count + 1) + directory.length() + directoryUnits.length();
    for (size_t i = 0; i < count && total <= kLargestHandOver; ++i)
        total += arguments.at(i).length() + unitsAt(wideArguments, i).length();
    if (total > kLargestHandOver)
        return HandOverFault::TooLarge;
    message.clear();
    bool made = message.reserve(total) && message.append(reinterpret_cast<const char*>(kMark), sizeof kMark)
        && appendNumber(message, kVersion) && appendNumber(message, total) && appendNumber(message, count)
        && appendNumber(message, directory.length()) && appendNumber(message, directoryUnits.length());
    for (size_t i = 0; made && i < count; ++i)
        made = appendNumber(message, arguments.at(i).length()) && appendNumber(message, unitsAt(wideArguments, i).length());
    made = made && message.append(directory) && message.append(directoryUnits);
    for (size_t i = 0; made && i < count; ++i)
        made = message.append(arguments.at(i)) && message.append(unitsAt(wideArguments, i));
    return made ? HandOverFault::None : HandOverFault::NoMemory;
}

HandOverFault handOverLength(const unsigned char* header, size_t length, size_t& total)
{
    if (length < kHandOverHeaderLength)
        return HandOverFault::CutShort;
    if (memcmp(header, kMark, sizeof kMark) != 0)
        return HandOverFault::NotAHandOver;
    if (readNumber(header + 4) != kVersion)
        return HandOverFault::OtherVersion;
    total = readNumber(header + 8);
    if (total > kLargestHandOver)
        return HandOverFault::TooLarge;
    // The header and the working directory's lengths at the least.
    return total < kHandOverHeaderLength + kLengthsPerText ? HandOverFault::BadLengths : HandOverFault::None;
}

HandOverFault parseHandOver(const unsigned char* bytes, size_t length, HandOver& handOver)
{
    size_t total = 0;
    HandOverFault fault = handOverLength(bytes, length, total);
    if (fault != HandOverFault::None)
        return fault;
    if (length != total)
        return length < total ? HandOverFault::CutShort : HandOverFault::TrailingBytes;
    // The numbers are read as 32 bits and compared in size_t: no sum below overflows.
    size_t count = readNumber(bytes + 12);
    if (count > (total - kHandOverHeaderLength) / kLengthsPerText - 1)
        return HandOverFault::BadCounts;
    const unsigned char* table = bytes + kHandOverHeaderLength;
    size_t at = kHandOverHeaderLength + kLengthsPerText * (count + 1);
    for (size_t i = 0; i <= count; ++i) {
        size_t textLength = readNumber(table + kLengthsPerText * i);
        size_t unitsLength = readNumber(table + kLengthsPerText * i + 4);
        if (unitsLength % 2 != 0 || textLength > total - at || unitsLength > total - at - textLength)
            return HandOverFault::BadLengths;
        const char* text = reinterpret_cast<const char*>(bytes + at);
        bool kept = i == 0 ? handOver.directory.assign(text, textLength)
                && handOver.directoryUnits.assign(text + textLength, unitsLength)
                           : handOver.arguments.append(text, textLength)
                && handOver.wideArguments.append(text + textLength, unitsLength);
        if (!kept)
            return HandOverFault::NoMemory;
        at += textLength + unitsLength;
    }
    return at == total ? HandOverFault::None : HandOverFault::TrailingBytes;
}
