#pragma once
// Which application a start belongs to, so that its starts find each other:
// the name the settings give it, else its executable's full path as the file
// system compares paths (on Windows without regard to case, either separator).
//
//   Text hash = instanceHash(instanceIdentity(paths.executablePath, settings.singleInstanceName, true));
#include "common/text.h"

// The identity's text: a name, or a path with its case and separators folded
// where the file system ignores them (ASCII letters upper-cased, '/' as '\').
// Empty without memory.
Text instanceIdentity(const Text& executablePath, const Text& name, bool pathsIgnoreCase);
// 16 hexadecimal digits of a 64-bit FNV-1a hash of the identity, which name
// the channel; empty without memory.
Text instanceHash(const Text& identity);
