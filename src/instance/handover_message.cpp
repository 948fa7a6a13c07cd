#include "instance/handover_message.h"

#include "common/memory.h"

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

size_t unitBytes(const Utf16Text& units)
{
    return units.length() * sizeof(char16_t);
}

bool appendUnits(Text& message, const Utf16Text& units)
{
    bool made = true;
    for (size_t i = 0; made && i < units.length(); ++i) {
        const char bytes[2] = { static_cast<char>(units.units()[i]), static_cast<char>(units.units()[i] >> 8) };
        made = message.append(bytes, sizeof bytes);
    }
    return made;
}

// The units' little-endian bytes as the system's char16_t, wherever they lie.
bool readUnits(const unsigned char* bytes, size_t length, Utf16Text& units)
{
    size_t count = length / sizeof(char16_t);
    if (count == 0)
        return units.assign(nullptr, 0);
    MemoryBlock block(static_cast<char*>(allocateMemory(length)));
    if (!block.isValid())
        return false;
    char16_t* read = reinterpret_cast<char16_t*>(block.get());
    for (size_t i = 0; i < count; ++i)
        read[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return units.assign(read, count);
}

bool appendArgument(CommandLineArguments& arguments, const char* text, size_t textLength,
                    const unsigned char* units, size_t unitsLength)
{
    Text argument;
    if (!argument.assign(text, textLength))
        return false;
    if (unitsLength == 0)
        return arguments.append(argument);
    Utf16Text exact;
    return readUnits(units, unitsLength, exact) && arguments.append(argument, exact.units(), exact.length());
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

HandOverFault encodeHandOver(const Text& directory, const Utf16Text& directoryUnits,
                             const CommandLineArguments& arguments, Text& message)
{
    size_t count = arguments.count();
    size_t total = kHandOverHeaderLength + kLengthsPerText * (count + 1) + directory.length() + unitBytes(directoryUnits);
    for (size_t i = 0; i < count && total <= kLargestHandOver; ++i)
        total += arguments.text(i).length() + unitBytes(arguments.exact(i));
    if (total > kLargestHandOver)
        return HandOverFault::TooLarge;
    message.clear();
    bool made = message.reserve(total) && message.append(reinterpret_cast<const char*>(kMark), sizeof kMark)
        && appendNumber(message, kVersion) && appendNumber(message, total) && appendNumber(message, count)
        && appendNumber(message, directory.length()) && appendNumber(message, unitBytes(directoryUnits));
    for (size_t i = 0; made && i < count; ++i)
        made = appendNumber(message, arguments.text(i).length()) && appendNumber(message, unitBytes(arguments.exact(i)));
    made = made && message.append(directory) && appendUnits(message, directoryUnits);
    for (size_t i = 0; made && i < count; ++i)
        made = message.append(arguments.text(i)) && appendUnits(message, arguments.exact(i));
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
        const unsigned char* units = bytes + at + textLength;
        bool kept = i == 0
            ? handOver.directory.assign(text, textLength) && readUnits(units, unitsLength, handOver.directoryUnits)
            : appendArgument(handOver.arguments, text, textLength, units, unitsLength);
        if (!kept)
            return HandOverFault::NoMemory;
        at += textLength + unitsLength;
    }
    return at == total ? HandOverFault::None : HandOverFault::TrailingBytes;
}
