#pragma once
#include "common/text.h"

#include <stddef.h>

// Converts UTF-8 text to the locale's multibyte encoding, as Windows turns a
// UTF-8 settings file into its ANSI code page: a character that is invalid or
// has no place in the encoding becomes '?' ('??' beyond the basic plane).
// False only when memory or the converter cannot be had.
bool utf8ToLocaleEncoding(const char* utf8, size_t length, Text& converted);
