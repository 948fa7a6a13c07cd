#include "jvm/startup_archive_seal.h"

#include "platform/user_cache.h"

#include <initializer_list>
#include <string.h>

namespace {

// The header's first fields: magic, CRC, format version, the header's length.
const unsigned kDynamicArchiveMagic = 0xf00baba8u;
const size_t kHeaderStart = 16;
const size_t kHeaderLengthOffset = 12;
const size_t kLongestSeal = 64;

// Options that change what the runtime writes to its log, never the archive:
// turning a log on to look at a problem keeps the archive.
const char* const kLogOptions[] = { "-Xlog", "-verbose" };

unsigned littleEndian32(const char* bytes)
{
    unsigned value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

bool isOwnersAlone(const char* path)
{
    return platform::privateFileFault(path) == platform::CacheFault::None;
}

bool isLogOption(const Text& option)
{
    for (const char* prefix : kLogOptions)
        if (option.startsWith(prefix))
            return true;
    return false;
}

}

void ArchiveHash::addBytes(const char* bytes, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        hash_ = (hash_ ^ static_cast<unsigned char>(bytes[i])) * 1099511628211ull;
}

void ArchiveHash::addNumber(unsigned long long number)
{
    for (int i = 0; i < 8; ++i, number >>= 8) {
        char byte = static_cast<char>(number & 0xff);
        addBytes(&byte, 1);
    }
}

void ArchiveHash::addStamp(const platform::FileStamp& stamp)
{
    for (unsigned long long field : { stamp.size, stamp.written, stamp.changed, stamp.serial, stamp.volume })
        addNumber(field);
}

bool ArchiveHash::addFile(const char* path, platform::FileStamp& stamp)
{
    stamp = platform::FileStamp();
    bool found = platform::fileStamp(path, stamp);
    addBytes(path, strlen(path) + 1);
    addNumber(found ? 1 : 0);
    addStamp(stamp);
    return found;
}

void ArchiveHash::addOptions(const TextList& options)
{
    for (size_t i = 0; i < options.count(); ++i)
        if (!isLogOption(options.at(i)))
            addText(options.at(i));
}

bool appendHexDigits(Text& text, unsigned long long number, int digits)
{
    char buffer[16];
    if (digits < 1 || digits > 16)
        return false;
    for (int i = digits - 1; i >= 0; --i, number >>= 4)
        buffer[i] = "0123456789abcdef"[number & 15];
    return text.append(buffer, static_cast<size_t>(digits));
}

Text sealText(unsigned long long facts, const platform::FileStamp& archive)
{
    ArchiveHash hash;
    hash.addNumber(facts);
    hash.addStamp(archive);
    Text text;
    if (!text.assign("startup archive ") || !appendHexDigits(text, hash.value(), 16) || !text.appendChar('\n'))
        return Text();
    return text;
}

bool isWholeArchiveHeader(const Text& start, unsigned long long fileSize)
{
    if (start.length() < kHeaderStart || littleEndian32(start.chars()) != kDynamicArchiveMagic)
        return false;
    unsigned headerLength = littleEndian32(start.chars() + kHeaderLengthOffset);
    return headerLength >= kHeaderStart && headerLength <= fileSize;
}

bool archiveMatchesSeal(const char* archive, const char* seal, unsigned long long facts)
{
    platform::FileStamp stamp;
    Text found;
    // One that others may write may hold anything, whatever its seal says.
    if (!isOwnersAlone(archive) || !isOwnersAlone(seal) || !platform::fileStamp(archive, stamp)
        || !platform::readFileStart(seal, kLongestSeal, found))
        return false;
    Text expected = sealText(facts, stamp);
    return !expected.isEmpty() && found.length() == expected.length() && found.equals(expected.chars());
}

bool writeSeal(const char* archive, const char* seal, unsigned long long facts)
{
    platform::FileStamp stamp;
    Text start;
    if (!platform::keepFileToOwner(archive) || !platform::fileStamp(archive, stamp)
        || !platform::readFileStart(archive, kHeaderStart, start) || !isWholeArchiveHeader(start, stamp.size))
        return false;
    Text text = sealText(facts, stamp);
    if (text.isEmpty())
        return false;
    // Whatever was there goes: the new seal is made only where nothing is left.
    platform::removeFile(seal);
    return platform::createNewFile(seal, text.chars(), text.length());
}
