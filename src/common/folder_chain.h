#pragma once
// The folders a file's path needs, made from the deepest one that is there
// down to the file's own, as a user expects of %LOCALAPPDATA%\MyApp\out.log.
// Separators are found by whole characters of the code page.
#include "common/text.h"

struct FolderOperations {
    bool (*isFolder)(const char* path);
    bool (*makeFolder)(const char* path);
};

// True when the file's folder is there or was made.
bool makeFoldersOf(const Text& filePath, char separator, const FolderOperations& operations);
