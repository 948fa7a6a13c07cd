#include "common/folder_chain.h"

#include "common/list.h"
#include "common/text_scan.h"

bool makeFoldersOf(const Text& filePath, char separator, const FolderOperations& operations, Text& failedFolder)
{
    // The folders' ends, the file's own folder last; a root ("/", "C:\") or
    // a share ("\\server\share") is there when anything is.
    List<size_t> ends;
    for (size_t at = findCharacter(filePath, separator); at != kNotFound; at = findCharacter(filePath, separator, at + 1))
        if (at > 0 && !ends.append(size_t(at))) {
            failedFolder = filePath;
            return false;
        }
    size_t there = ends.count();
    for (; there > 0; --there) {
        Text folder(filePath.chars(), ends.at(there - 1));
        if (operations.isFolder(folder.chars()))
            break;
    }
    for (size_t i = there; i < ends.count(); ++i) {
        Text folder(filePath.chars(), ends.at(i));
        if (folder.isEmpty() || !operations.makeFolder(folder.chars())) {
            failedFolder = folder.isEmpty() ? filePath : folder;
            return false;
        }
    }
    return true;
}
