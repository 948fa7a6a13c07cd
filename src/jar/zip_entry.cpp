#include "jar/zip_entry.h"

#include "common/memory.h"
#include "jar/inflate.h"
#include "platform/files.h"

#include <string.h>

namespace {

const unsigned long kEndSignature = 0x06054b50;
const unsigned long kDirectorySignature = 0x02014b50;
const unsigned long kLocalSignature = 0x04034b50;
const size_t kEndLength = 22;
const size_t kDirectoryEntryLength = 46;
const size_t kLocalHeaderLength = 30;
const size_t kLongestComment = 0xFFFF;
// A JAR with tens of thousands of classes has a directory of a few MiB.
const size_t kLargestDirectory = 16 * 1024 * 1024;
const unsigned kStored = 0;
const unsigned kDeflated = 8;

unsigned short16(const char* bytes)
{
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
    return b[0] | (b[1] << 8);
}

unsigned long long32(const char* bytes)
{
    return short16(bytes) | (static_cast<unsigned long>(short16(bytes + 2)) << 16);
}

struct EntryPlace {
    unsigned method = 0;
    unsigned long compressedSize = 0;
    unsigned long size = 0;
    unsigned long localHeader = 0;
};

// Where the central directory lies, from the end record, which the file's
// comment (up to 64 KiB) may follow.
bool findDirectory(const char* path, unsigned long long& offset, unsigned long& length)
{
    platform::FileStamp stamp;
    if (!platform::fileStamp(path, stamp) || stamp.size < kEndLength)
        return false;
    unsigned long long tailLength = stamp.size < kEndLength + kLongestComment ? stamp.size : kEndLength + kLongestComment;
    unsigned long long tailStart = stamp.size - tailLength;
    Text tail;
    if (!platform::readFilePart(path, tailStart, static_cast<size_t>(tailLength), tail) || tail.length() < kEndLength)
        return false;
    for (size_t at = tail.length() - kEndLength + 1; at-- > 0;) {
        const char* end = tail.chars() + at;
        if (long32(end) != kEndSignature || at + kEndLength + short16(end + 20) > tail.length())
            continue;
        offset = long32(end + 16);
        length = long32(end + 12);
        return offset + length <= tailStart + at && length <= kLargestDirectory;
    }
    return false;
}

bool findEntry(const Text& directory, const char* name, EntryPlace& place)
{
    size_t nameLength = strlen(name);
    const char* entry = directory.chars();
    const char* end = entry + directory.length();
    while (static_cast<size_t>(end - entry) >= kDirectoryEntryLength && long32(entry) == kDirectorySignature) {
        size_t entryNameLength = short16(entry + 28);
        size_t length = kDirectoryEntryLength + entryNameLength + short16(entry + 30) + short16(entry + 32);
        if (static_cast<size_t>(end - entry) < length)
            return false;
        if (entryNameLength == nameLength && memcmp(entry + kDirectoryEntryLength, name, nameLength) == 0) {
            place.method = short16(entry + 10);
            place.compressedSize = long32(entry + 20);
            place.size = long32(entry + 24);
            place.localHeader = long32(entry + 42);
            return true;
        }
        entry += length;
    }
    return false;
}

bool readEntryData(const char* path, const EntryPlace& place, Text& contents)
{
    Text header;
    if (!platform::readFilePart(path, place.localHeader, kLocalHeaderLength, header)
        || header.length() < kLocalHeaderLength || long32(header.chars()) != kLocalSignature)
        return false;
    unsigned long long dataOffset =
        place.localHeader + kLocalHeaderLength + short16(header.chars() + 26) + short16(header.chars() + 28);
    Text data;
    if (!platform::readFilePart(path, dataOffset, place.compressedSize, data) || data.length() != place.compressedSize)
        return false;
    if (place.method == kStored) {
        contents = static_cast<Text&&>(data);
        return true;
    }
    MemoryBlock out(static_cast<char*>(allocateMemory(place.size ? place.size : 1)));
    return out.isValid()
        && inflateRaw(reinterpret_cast<const unsigned char*>(data.chars()), data.length(),
                      reinterpret_cast<unsigned char*>(out.get()), place.size)
        && contents.assign(out.get(), place.size);
}

}

bool readZipEntry(const char* path, const char* name, size_t limit, Text& contents)
{
    contents.clear();
    unsigned long long offset = 0;
    unsigned long length = 0;
    Text directory;
    EntryPlace place;
    if (!findDirectory(path, offset, length) || !platform::readFilePart(path, offset, length, directory)
        || directory.length() != length || !findEntry(directory, name, place) || place.size > limit)
        return false;
    // A deflated entry is seldom much larger than its contents; a stored one is them.
    if (place.method == kStored ? place.compressedSize != place.size
                                : place.method != kDeflated || place.compressedSize > limit + limit / 8 + 64)
        return false;
    return readEntryData(path, place, contents);
}
