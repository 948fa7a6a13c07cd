#pragma once
// The reader of settings (profile, ini) files: Windows' own, and on Linux
// ours, which follows its rules (posix/profile_reader.h).
#include <stddef.h>

namespace platform {

// Reads one value of a profile (ini) file into buffer, with the platform's
// profile reader's rules; returns the number of bytes copied without the NUL,
// size - 1 when the value was cut.
size_t readProfileString(const char* file, const char* section, const char* key,
                         char* buffer, size_t size);
// Whether the file gives the key a value, empty or not, as the profile reader
// tells it from a key that is not there (which both read as the empty text):
// a missing file or section, a missing key, and a key's line without '=' give
// none.
bool profileValueGiven(const char* file, const char* section, const char* key);

}
