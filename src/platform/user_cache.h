#pragma once
// The folder for the user's caches, and whether what lies in it is this
// user's alone.
#include "common/text.h"

namespace platform {

// The folder for the user's caches: Windows' %LOCALAPPDATA%, Linux's
// $XDG_CACHE_HOME or ~/.cache; false when there is none.
bool userCacheDirectory(Text& directory);
// Why a folder or file in the user's caches is not this user's alone. The
// runtime maps the class archive it is handed as it finds it: another user
// who may write it, or the folder it lies in, or who may lead a link
// elsewhere, could run their own code in the application.
enum class CacheFault {
    None,
    Missing,
    CannotWrite,     // cannot be made, or not a folder (a regular file) where one is wanted
    Link,            // a symbolic link or another reparse point: never followed
    OtherOwner,
    OthersMayWrite,  // or replace what the folder holds
    Unchecked,       // its owner or access cannot be read
};
// Makes the folder for the user's caches unless it is there (not its
// parents). None when no other user may replace what it holds: on Linux it
// becomes its real path, without links, and it and each folder above it
// belong to this user or root and are writable by no one else, unless sticky
// (as /tmp is); on Windows it belongs to this user, Administrators or the
// system, and its access list lets no one else write. `where` is the folder
// at fault.
CacheFault makeCacheRoot(Text& directory, Text& where);
// Makes a folder in it for this user alone unless it is there (not its
// parents). None when it is a folder, not a link, that belongs to this user
// and that this process may write in and no one else may.
CacheFault makePrivateDirectory(const char* path);
// None for a regular file, not a link, that belongs to this user and that no
// one else may write; Missing when nothing is at the path.
CacheFault privateFileFault(const char* path);
// Takes away the write access of everybody but the file's owner (the runtime
// makes its archive as the user's umask says); false for a link, anything
// but a regular file, another user's file.
bool keepFileToOwner(const char* path);

}
