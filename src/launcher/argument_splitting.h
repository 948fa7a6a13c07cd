#pragma once
// Turns texts into lists: the process's command line into the arguments after
// the program's path, the virtual machine parameters into options, the
// preferred versions into entries. Only the space separates; a double quote
// groups only at the start of an item and is removed; nothing escapes.
// Each split is false when an item could not get memory.
#include "common/text.h"
#include "common/text_list.h"

[[nodiscard]] bool splitCommandLine(TextList& arguments);
// The Windows rule for a whole command line: trim, tokenize, drop the program's path.
[[nodiscard]] bool splitCommandLineText(const char* commandLine, TextList& arguments);
[[nodiscard]] bool tokenizeParameters(const Text& text, TextList& items);
[[nodiscard]] bool splitAtSeparator(TextList& pieces, const Text& text, const Text& separator);
int findArgument(const TextList& arguments, const char* wanted);
void trimBlanks(Text& text);
