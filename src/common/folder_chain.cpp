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
    return makeFolderChain(directoryOfPath(folder, separator), separator, operations)
        && operations.makeFolder(folder.chars());
}

}

bool makeFoldersOf(const Text& filePath, char separator, const FolderOperations& operations)
{
    return makeFolderChain(directoryOfPath(filePath, separator), separator, operations);
}
