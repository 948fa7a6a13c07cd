#pragma once
// Our own reader of Windows profile (ini) files, following the rules of the
// Windows profile reader as far as the launcher's settings need them: names
// without regard to case, blanks around names and values ignored, one pair
// of enclosing quotes removed, the first of repeated sections and keys wins,
// a missing file, section or key reads as the empty text, and a file marked
// as UTF-8 gives its values in the locale's encoding.
#include "common/text.h"

#include <stddef.h>

// Looks the value up in the contents of a profile file; false when the value
// could not get memory. `given`, when there, says whether the file gives the
// key a value at all (see platform::profileValueGiven).
bool findProfileValue(const char* contents, size_t length, const char* section,
                      const char* key, Text& value, bool* given = nullptr);
// One value of a profile file; the empty text when the file (a regular file),
// the section or the key is missing.
const Text& readProfileValue(const char* file, const char* section, const char* key);
// Whether the file gives the key a value, empty or not.
bool profileGivesValue(const char* file, const char* section, const char* key);
// Copies as the Windows reader does: a value cut by the buffer gives size - 1.
size_t copyProfileValue(const Text& value, char* buffer, size_t size);
