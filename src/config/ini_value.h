#pragma once
#include "common/text.h"

// One value of the settings file, whole whatever its length; the empty text
// when the file, section or key is missing (or memory runs out).
Text readIniValue(const char* iniPath, const char* section, const char* key);
