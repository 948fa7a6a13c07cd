#pragma once
// Turns texts into lists: the process's command line into the arguments after
// the program's path, the virtual machine parameters into options, the
// preferred versions into entries. Only the space separates; a double quote
// groups only at the start of an item and is removed; nothing escapes.
// Each split is false when an item could not get memory.
#include "common/list.h"
#include "common/text.h"
#include "common/text_list.h"

#include <stddef.h>

// The Windows rule for a whole command line: trim, tokenize, drop the program's path.
[[nodiscard]] bool splitCommandLineText(const char* commandLine, TextList& arguments);
// The same rule for a command line in UTF-16 code units: each argument as the
// place and length of its units in the line. A unit is blank when isBlank
// says so; a quote or a space is never part of another character there.
struct TextSpan {
    size_t start;
    size_t length;
};
[[nodiscard]] bool splitWideCommandLine(const char16_t* line, size_t length, bool (*isBlank)(char16_t),
                                        List<TextSpan>& arguments);
[[nodiscard]] bool tokenizeParameters(const Text& text, TextList& items);
[[nodiscard]] bool splitAtSeparator(TextList& pieces, const Text& text, const Text& separator);
int findArgument(const TextList& arguments, const char* wanted);
void trimBlanks(Text& text);
