#pragma once
// Which application a start belongs to, so that its starts find each other:
// the name the settings give it, else its executable's full path as the file
// system compares paths (platform::comparablePath: on Windows without regard
// to case, either separator).
//
//   Text identity, hash;
//   if (instanceIdentity(comparedExecutablePath, settings.singleInstanceName, identity)
//       && instanceHash(identity, hash)) ... hash names the channel
#include "common/text.h"

// The identity's text: a name, or the path as the file system compares it.
// False without memory.
[[nodiscard]] bool instanceIdentity(const Text& comparedPath, const Text& name, Text& identity);
// 16 hexadecimal digits of a 64-bit FNV-1a hash of the identity, which name
// the channel; false without memory.
[[nodiscard]] bool instanceHash(const Text& identity, Text& hashText);
