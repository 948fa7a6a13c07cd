#pragma once
// Scans over texts that step by whole characters of the ANSI code page, so the
// second byte of a double-byte character never matches a searched byte.
#include "common/text.h"

#include <stddef.h>

static const size_t kNotFound = static_cast<size_t>(-1);

// Position of the first character equal to c at or after `from`, or kNotFound.
size_t findCharacter(const Text& text, char c, size_t from = 0);
size_t findLastCharacter(const Text& text, char c);
size_t findText(const Text& text, const Text& wanted, size_t from);
size_t skipCharacter(const Text& text, char c, size_t from);
size_t findDigit(const char* text);
// Where the first character at or after `from` begins, stepping from `start`,
// where one begins.
size_t firstCharacterFrom(const Text& text, size_t start, size_t from);
// Whether the text's last character (not merely its last byte) is c.
bool endsWithCharacter(const Text& text, char c);
// Appends c unless the text's last character is c already; false when
// memory runs out.
[[nodiscard]] bool endWithCharacter(Text& text, char c);
void replaceCharacter(Text& text, char from, char to);
