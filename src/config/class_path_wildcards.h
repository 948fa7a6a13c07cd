#pragma once
// Class path wildcards, widened as java widens those of -cp and CLASSPATH:
//
//   lib/*            ->  lib/b.jar:lib/a.JAR      (the folder's JAR files, as the system lists them)
//   lib/*.jar, a*b   ->  as written               (a '*' anywhere else is a character)
//   none/*           ->  as written               (a folder without JAR files, or none at all)
//
// An entry is a wildcard when it is "*" alone, or ends with a file separator
// and '*', and nothing has exactly its name. Its folder's entries whose names
// end in ".jar" or ".JAR" take its place, in the order the system lists them
// (readdir's on Linux, FindFirstFile's on Windows: not sorted), the folder's
// path as written before each; subfolders are not searched, and a folder
// named like a JAR file counts as one, as for java. When no entry was widened,
// the class path stays exactly as it was.
#include "common/text.h"
#include "common/text_list.h"

// What the widening asks of the system.
struct WildcardFolders {
    // Whether anything has exactly this name, '*' taken as a character.
    bool (*nameExists)(const char* path, const void* context);
    // The names in the wildcard's folder, in the order the system lists
    // them; false when the folder cannot be listed.
    bool (*listFolder)(const char* wildcard, TextList& names, const void* context);
    // Whether the character separates a path's names ('\\' and '/' on
    // Windows, '/' on Linux).
    bool (*isFileSeparator)(char c);
    const void* context;
};

// Appends the class path with its wildcards widened; false only when memory
// ran out.
[[nodiscard]] bool widenClassPath(const Text& classPath, char listSeparator, const WildcardFolders& folders,
                                  Text& widened);
// The same, asking the system.
[[nodiscard]] bool widenClassPath(const Text& classPath, Text& widened);
