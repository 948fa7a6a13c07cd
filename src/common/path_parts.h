#pragma once
// The parts of a path, found by whole characters of the code page: a
// separator never matches the second byte of a double-byte character.
// Each returns false, its part as it was, when the part cannot get memory;
// the part may be the path itself.
#include "common/text.h"

// The path up to and including its last separator; empty without one.
[[nodiscard]] bool directoryOfPath(const Text& path, char separator, Text& directory);
// The last name of the path without its extension (the text from its last
// '.'): "D:\Apps\MyApp.exe" gives "MyApp".
[[nodiscard]] bool nameWithoutExtension(const Text& path, char separator, Text& name);
