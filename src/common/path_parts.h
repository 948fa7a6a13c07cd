#pragma once
// The parts of a path, found by whole characters of the code page: a
// separator never matches the second byte of a double-byte character.
#include "common/text.h"

// The path up to and including its last separator; empty without one.
Text directoryOfPath(const Text& path, char separator);
// The last name of the path without its extension (the text from its last
// '.'): "D:\Apps\MyApp.exe" gives "MyApp".
Text nameWithoutExtension(const Text& path, char separator);
