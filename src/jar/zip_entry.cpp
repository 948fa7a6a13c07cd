#include "jar/zip_entry.h"

#include "common/memory.h"
#include "jar/inflate.h"
#include "jar/manifest.h"
#include "platform/files.h"

#include <string.h>

namespace {

const unsigned long kEndSignature = 0x06054b50;
const unsigned long kDirectorySignature = 0x02014b50;
const unsigned long kLocalSignature = 0x04034b50;
const unsigned long kZip64LocatorSignature = 0x07064b50;
const unsigned long kZip64Value = 0xFFFFFFFF;
const size_t kEndLength = 22;
const size_t kDirectoryEntryLength = 46;
const size_t kLocalHeaderLength = 30;
const size_t kZip64LocatorLength = 20;
// ZipFile looks for the end record in blocks of 128 bytes back from the end,
// a little past the longest comment's reach.
const size_t kEndSearch = kEndLength + 0xFFFF + 128;
// A JAR with tens of thousands of classes has a directory of a few MiB.
const size_t kLargestDirectory = 16 * 1024 * 1024;
const unsigned kStored = 0;
const unsigned kDeflated = 8;
const unsigned kZip64Extra = 1;
// JarFile takes a manifest's size as given up to this, and reads only that
// much of its stream; a larger one it reads to the stream's end.
const size_t kLargestTrustedSize = 65535;

unsigned short16(const char* bytes)
{
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
    return b[0] | (b[1] << 8);
}

unsigned long long32(const char* bytes)
{
    return short16(bytes) | (static_cast<unsigned long>(short16(bytes + 2)) << 16);
}

struct ZipDirectory {
    Text entries;
    // Where the archive starts, which the offsets count from: after a stub before it.
    unsigned long long start = 0;
    // The java launcher's own check of the end record: the first entry's local header is there.
    bool launcherReadsIt = false;
};

struct EntryPlace {
    size_t position = 0;
    unsigned method = 0;
    unsigned long compressedSize = 0;
    unsigned long size = 0;
    unsigned long localHeader = 0;
};

// Strict UTF-8, as ZipFile decodes names and comments: no overlong forms, no
// surrogates, nothing past U+10FFFF.
bool isUtf8(const char* text, size_t length)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    for (size_t i = 0; i < length;) {
        unsigned lead = bytes[i++];
        if (lead < 0x80)
            continue;
        size_t more = lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        unsigned lowest = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        unsigned highest = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        if (lead < 0xC2 || lead > 0xF4 || more > length - i || bytes[i] < lowest || bytes[i] > highest)
            return false;
        for (; more > 0; --more)
            if ((bytes[i++] & 0xC0) != 0x80)
                return false;
    }
    return true;
}

// ZipFile's checks of one directory entry; `zip64` when it has ZIP64 fields,
// which runtimes check differently.
ZipReading checkEntry(const char* entry, size_t left, bool& zip64)
{
    size_t nameLength = short16(entry + 28);
    size_t extraLength = short16(entry + 30);
    size_t commentLength = short16(entry + 32);
    size_t length = kDirectoryEntryLength + nameLength + extraLength + commentLength;
    unsigned method = short16(entry + 10);
    if (long32(entry) != kDirectorySignature || (short16(entry + 8) & 1) != 0
        || (method != kStored && method != kDeflated) || length > left
        || !isUtf8(entry + kDirectoryEntryLength, nameLength) || !isUtf8(entry + length - commentLength, commentLength))
        return ZipReading::Refused;
    const char* extra = entry + kDirectoryEntryLength + nameLength;
    for (size_t at = 0; extraLength - at >= 4; at += 4 + short16(extra + at + 2)) {
        if (short16(extra + at + 2) > extraLength - at - 4)
            return ZipReading::Refused;
        zip64 = zip64 || (short16(extra + at) == kZip64Extra && short16(extra + at + 2) != 0);
    }
    zip64 = zip64 || long32(entry + 20) == kZip64Value || long32(entry + 24) == kZip64Value
        || long32(entry + 42) == kZip64Value || short16(entry + 34) == 0xFFFF;
    // Newer runtimes refuse an entry this large; older ones take it.
    return length > 0xFFFF ? ZipReading::NotRead : ZipReading::Read;
}

ZipReading checkEntries(const Text& directory)
{
    bool zip64 = false;
    bool large = false;
    size_t at = 0;
    while (directory.length() - at >= kDirectoryEntryLength) {
        const char* entry = directory.chars() + at;
        ZipReading reading = checkEntry(entry, directory.length() - at, zip64);
        if (reading == ZipReading::Refused)
            return reading;
        large = large || reading == ZipReading::NotRead;
        at += kDirectoryEntryLength + short16(entry + 28) + short16(entry + 30) + short16(entry + 32);
    }
    if (at != directory.length())
        return ZipReading::Refused;
    return zip64 || large ? ZipReading::NotRead : ZipReading::Read;
}

// The java launcher checks the end record by the first entry's local header.
bool firstLocalHeaderFits(const char* path, const ZipDirectory& directory)
{
    const char* first = directory.entries.chars();
    Text header;
    return directory.entries.isEmpty()
        || (platform::readFilePart(path, directory.start + long32(first + 42), kLocalHeaderLength, header)
            && header.length() == kLocalHeaderLength && long32(header.chars()) == kLocalSignature
            && short16(header.chars() + 26) == short16(first + 28));
}

// The directory as ZipFile finds it from the end record, which may be
// followed by the file's comment (up to 64 KiB) and must reach the file's end.
ZipReading readDirectory(const char* path, ZipDirectory& directory)
{
    platform::FileStamp stamp;
    if (!platform::fileStamp(path, stamp))
        return ZipReading::Refused;
    unsigned long long tailLength = stamp.size < kEndSearch + kZip64LocatorLength ? stamp.size
                                                                                  : kEndSearch + kZip64LocatorLength;
    unsigned long long tailStart = stamp.size - tailLength;
    Text tail;
    if (!platform::readFilePart(path, tailStart, static_cast<size_t>(tailLength), tail) || tail.length() != tailLength)
        return ZipReading::NotRead;
    size_t at = tail.length() < kEndLength ? 0 : tail.length() - kEndLength + 1;
    while (at-- > 0 && long32(tail.chars() + at) != kEndSignature) {
    }
    if (at == static_cast<size_t>(-1))
        return ZipReading::Refused;
    const char* end = tail.chars() + at;
    unsigned long long endPosition = tailStart + at;
    unsigned long directoryLength = long32(end + 12);
    unsigned long long directoryStart = endPosition - directoryLength;
    // Padding after the comment ZipFile may take, the java launcher never; a
    // ZIP64 end record this reader does not read.
    if (endPosition + kEndLength + short16(end + 20) != stamp.size
        || (at >= kZip64LocatorLength ? long32(end - kZip64LocatorLength) == kZip64LocatorSignature : tailStart != 0))
        return ZipReading::NotRead;
    if (endPosition == 0)
        return ZipReading::Read;
    if (directoryLength > endPosition || long32(end + 16) > directoryStart
        || short16(end + 10) > directoryLength / kDirectoryEntryLength)
        return ZipReading::Refused;
    directory.start = directoryStart - long32(end + 16);
    if (directoryLength > kLargestDirectory
        || !platform::readFilePart(path, directoryStart, directoryLength, directory.entries)
        || directory.entries.length() != directoryLength)
        return ZipReading::NotRead;
    ZipReading reading = checkEntries(directory.entries);
    directory.launcherReadsIt = reading == ZipReading::Read && firstLocalHeaderFits(path, directory);
    return reading;
}

bool sameEntryName(const char* entryName, size_t length, const char* name, bool anyCase)
{
    if (strlen(name) != length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        char wanted = name[i];
        bool letter = (wanted | 0x20) >= 'a' && (wanted | 0x20) <= 'z';
        if (anyCase && letter ? (entryName[i] | 0x20) != (wanted | 0x20) : entryName[i] != wanted)
            return false;
    }
    return true;
}

// The first entry of that name, as the java launcher finds it; with `anyCase`
// the last whose name is it but for the case of ASCII letters, as JarFile
// finds its manifest. The directory has passed its checks.
bool findEntry(const Text& directory, const char* name, bool anyCase, EntryPlace& place)
{
    bool found = false;
    for (size_t at = 0; directory.length() - at >= kDirectoryEntryLength;) {
        const char* entry = directory.chars() + at;
        size_t nameLength = short16(entry + 28);
        if (sameEntryName(entry + kDirectoryEntryLength, nameLength, name, anyCase)) {
            place.position = at;
            place.method = short16(entry + 10);
            place.compressedSize = long32(entry + 20);
            place.size = long32(entry + 24);
            place.localHeader = long32(entry + 42);
            found = true;
            if (!anyCase)
                break;
        }
        at += kDirectoryEntryLength + nameLength + short16(entry + 30) + short16(entry + 32);
    }
    return found;
}

ZipReading readEntryData(const char* path, unsigned long long start, const EntryPlace& place, size_t limit,
                         InflateEnd end, Text& contents)
{
    if (place.size > limit)
        return ZipReading::Refused;
    Text header;
    if (!platform::readFilePart(path, start + place.localHeader, kLocalHeaderLength, header))
        return ZipReading::NotRead;
    if (header.length() < kLocalHeaderLength || long32(header.chars()) != kLocalSignature)
        return ZipReading::Refused;
    unsigned long long dataOffset =
        start + place.localHeader + kLocalHeaderLength + short16(header.chars() + 26) + short16(header.chars() + 28);
    // A deflated entry is seldom much larger than its contents; a stored one is them.
    if (place.method == kStored ? place.compressedSize != place.size
                                : place.compressedSize > place.size + place.size / 8 + 64)
        return ZipReading::NotRead;
    Text data;
    if (!data.reserve(place.compressedSize) || !platform::readFilePart(path, dataOffset, place.compressedSize, data))
        return ZipReading::NotRead;
    if (place.method == kStored) {
        contents = static_cast<Text&&>(data);
        return contents.length() == place.size ? ZipReading::Read : ZipReading::Refused;
    }
    MemoryBlock out(static_cast<char*>(allocateMemory(place.size ? place.size : 1)));
    if (!out.isValid())
        return ZipReading::NotRead;
    if (!inflateRaw(reinterpret_cast<const unsigned char*>(data.chars()), data.length(),
                    reinterpret_cast<unsigned char*>(out.get()), place.size, end))
        return ZipReading::Refused;
    data = Text();
    return contents.assign(out.get(), place.size) ? ZipReading::Read : ZipReading::NotRead;
}

}

bool readZipEntry(const char* path, const char* name, size_t limit, Text& contents)
{
    contents.clear();
    ZipDirectory directory;
    EntryPlace place;
    if (readDirectory(path, directory) != ZipReading::Read || !directory.launcherReadsIt
        || !findEntry(directory.entries, name, false, place))
        return false;
    directory.entries = Text();
    return readEntryData(path, directory.start, place, limit, InflateEnd::BufferFull, contents) == ZipReading::Read;
}

ZipReading readJarManifest(const char* path, Text& manifest, bool& launcherReadsIt)
{
    manifest.clear();
    launcherReadsIt = false;
    ZipDirectory directory;
    EntryPlace place;
    EntryPlace launcherPlace;
    ZipReading reading = readDirectory(path, directory);
    if (reading != ZipReading::Read)
        return reading;
    if (!findEntry(directory.entries, kManifestEntry, true, place))
        return ZipReading::Refused;
    launcherReadsIt = directory.launcherReadsIt && findEntry(directory.entries, kManifestEntry, false, launcherPlace)
        && launcherPlace.position == place.position;
    directory.entries = Text();
    return readEntryData(path, directory.start, place, kLargestManifest,
                         place.size > kLargestTrustedSize ? InflateEnd::StreamEnd : InflateEnd::BufferFull, manifest);
}
