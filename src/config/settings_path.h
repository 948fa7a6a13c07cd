#pragma once
// Where the settings file and the private runtime are, from the executable's path.
#include "common/text.h"

// Windows: the path up to and including its last '.' (wherever it stands),
// then "ini"; false when the path has no '.'.
bool iniPathAfterLastDot(const Text& executablePath, Text& iniPath);
// Linux: the file name's extension replaced by "ini", or ".ini" appended when
// the file name has none.
bool iniPathForFileName(const Text& executablePath, Text& iniPath);
// The rule of this system: where its programs carry an extension (Windows'
// ".exe"), the first, as Windows launchers have always named their settings
// file; else the second.
bool settingsPathBeside(const Text& executablePath, Text& settingsPath);
