#pragma once
#include "common/text.h"
#include "common/unique_handle.h"

#include <stddef.h>
#include <sys/stat.h>
#include <unistd.h>

// What tells one version of a file from another: the same path rewritten,
// replaced or resized gives another identity.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    struct timespec modified = {};

    bool operator==(const FileIdentity& other) const;
};

using FileDescriptor = UniqueHandle<int, close, -1>;

// Far above any settings or release file, far below what would exhaust memory.
static const size_t kLargestFileRead = 256u << 20;

// Reads a regular file whole. Anything else at the path (a FIFO, a device, a
// directory), a file larger than kLargestFileRead and a file that cannot be
// read count as missing: false. Opening never blocks.
bool readRegularFile(const char* path, Text& contents, FileIdentity& identity);
// The identity of the regular file at the path; false when there is none.
bool regularFileIdentity(const char* path, FileIdentity& identity);
