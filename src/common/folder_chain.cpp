#include "common/folder_chain.h"

#include "common/path_parts.h"

namespace {

// The folder, once its parent is there; a root ("/", "C:") or a share is
// there when anything is.
bool makeFolderChain(Text folder, char separator, const FolderOperations& operations)
{
    folder.truncate(folder.isEmpty() ? 0 : folder.length() - 1);
    if (folder.isEmpty() || operations.isFolder(folder.chars()))
        return true;
    Text parent;
    return directoryOfPath(folder, separator, parent) && makeFolderChain(static_cast<Text&&>(parent), separator, operations)
        && operations.makeFolder(folder.chars());
}

}

bool makeFoldersOf(const Text& filePath, char separator, const FolderOperations& operations)
{
    Text folder;
    return directoryOfPath(filePath, separator, folder) && makeFolderChain(static_cast<Text&&>(folder), separator, operations);
}
