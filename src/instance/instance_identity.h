#pragma once
// Which application a start belongs to, so that its starts find each other:
// the name the settings give it, else its executable's full path as the file
// system compares paths (platform::comparablePath: on Windows without regard
// to case, either separator).
//
//   Text hash = instanceHash(instanceIdentity(comparedExecutablePath, settings.singleInstanceName));
#include "common/text.h"

// The identity's text: a name, or the path as the file system compares it.
// Empty without memory.
Text instanceIdentity(const Text& comparedPath, const Text& name);
// 16 hexadecimal digits of a 64-bit FNV-1a hash of the identity, which name
// the channel; empty without memory.
Text instanceHash(const Text& identity);
