#pragma once
#include "common/text.h"

// One value of the settings file, whole whatever its length; the empty text
// when the file, section or key is missing (or memory runs out).
Text readIniValue(const char* iniPath, const char* section, const char* key);
// Whether the settings file gives the key a value, perhaps an empty one: for
// the few settings where an empty value is a mistake rather than a default.
bool iniValueGiven(const char* iniPath, const char* section, const char* key);
