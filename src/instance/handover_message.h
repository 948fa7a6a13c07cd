#pragma once
// The hand-over: what a start that finds its application running sends the
// running instance, in a small versioned binary form of fixed-width
// little-endian numbers, the same for every build of the launcher.
//
//   offset  0  "JLHO"                      the mark of a hand-over
//           4  version (1)
//           8  the whole message's length, this header included
//          12  the number of arguments
//          16  the working directory's lengths, then each argument's: two
//              numbers each, its bytes and its UTF-16 units' bytes
//          ..  the working directory's bytes and units, then each argument's
//
// The bytes are a text as the system names it (the code page on Windows, the
// locale's bytes on Linux); the units, on Windows, its exact UTF-16 form,
// little-endian, where the code page cannot hold it, and none otherwise (see
// CommandLineArguments). A message is at most 1 MiB.
//
//   Text message;
//   if (encodeHandOver(directory, directoryUnits, arguments, message) != HandOverFault::None) ...
//   HandOver received;
//   if (parseHandOver(bytes, length, received) != HandOverFault::None) ... refuse it
#include "common/command_line_arguments.h"
#include "common/text.h"

#include <stddef.h>

extern const size_t kHandOverHeaderLength;
extern const size_t kLargestHandOver;

struct HandOver {
    Text directory;
    Utf16Text directoryUnits; // empty where the directory's bytes are exact
    CommandLineArguments arguments;
};

// Why a message is not a hand-over, or cannot be made.
enum class HandOverFault {
    None,
    CutShort,       // fewer bytes than its header or its lengths say
    NotAHandOver,   // another mark
    OtherVersion,
    TooLarge,       // more than kLargestHandOver
    BadCounts,      // more arguments than the message has room to describe
    BadLengths,     // lengths that do not add up, or UTF-16 of an odd length
    TrailingBytes,  // bytes after what the lengths describe
    NoMemory,
};

// What a fault is, for the trace.
const char* handOverFaultText(HandOverFault fault);

HandOverFault encodeHandOver(const Text& directory, const Utf16Text& directoryUnits,
                             const CommandLineArguments& arguments, Text& message);
// The whole length the first kHandOverHeaderLength bytes of a message
// announce, so that a reader knows how much to read, and whether to.
HandOverFault handOverLength(const unsigned char* header, size_t length, size_t& total);
// Takes the message apart into a new hand-over; anything but exactly one
// whole hand-over is refused.
HandOverFault parseHandOver(const unsigned char* bytes, size_t length, HandOver& handOver);
