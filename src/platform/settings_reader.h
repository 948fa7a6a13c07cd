#pragma once
// The reader of settings (profile, ini) files: Windows' own, and on Linux
// ours, which follows its rules (posix/profile_reader.h).
#include "common/text_list.h"

#include <stddef.h>

namespace platform {

// Reads one value of a profile (ini) file into buffer, with the platform's
// profile reader's rules; returns the number of bytes copied without the NUL,
// size - 1 when the value was cut.
size_t readProfileString(const char* file, const char* section, const char* key,
                         char* buffer, size_t size);
// The keys of one section in file order, and their values as readProfileString
// gives them (blanks around them and one pair of enclosing quotes removed);
// comment lines are not keys. None when the file or the section is missing;
// false when memory ran out.
[[nodiscard]] bool readProfileSection(const char* file, const char* section, TextList& names, TextList& values);
// Whether the file gives the key a value, empty or not, as the profile reader
// tells it from a key that is not there (which both read as the empty text):
// a missing file or section, a missing key, and a key's line without '=' give
// none.
bool profileValueGiven(const char* file, const char* section, const char* key);

}
