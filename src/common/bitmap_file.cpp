#include "common/bitmap_file.h"

namespace {

const uint64_t kFileHeaderLength = 14;
const uint32_t kCoreHeaderLength = 12;
const uint32_t kInfoHeaderLength = 40;

const uint32_t kRle8 = 1;
const uint32_t kRle4 = 2;
const uint32_t kBitfields = 3;
const uint32_t kJpeg = 4;
const uint32_t kPng = 5;
const uint32_t kAlphaBitfields = 6;

// Loaders copy at most this many colour table entries, whatever the header claims.
const uint32_t kMostColours = 256;

uint32_t readWord(const unsigned char* at)
{
    return at[0] | at[1] << 8;
}

uint32_t readLong(const unsigned char* at)
{
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24;
}

// Where the parts the headers describe lie, as offsets from the file's start.
struct BitmapLayout {
    uint64_t tableEnd = 0;          // headers, masks and colour table
    uint64_t rowLength = 0;         // uncompressed data: bytes per row
    uint64_t rowCount = 0;
    uint64_t compressedLength = 0;  // compressed data: its declared length
};

uint64_t rowLength(uint64_t width, uint32_t bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

bool readCoreLayout(const unsigned char* header, BitmapLayout& layout)
{
    uint32_t width = readWord(header + 4);
    uint32_t height = readWord(header + 6);
    uint32_t bitsPerPixel = readWord(header + 10);
    if (width == 0 || height == 0)
        return false;
    uint64_t colours = bitsPerPixel <= 8 ? 1u << bitsPerPixel : 0;
    layout.tableEnd = kFileHeaderLength + kCoreHeaderLength + colours * 3;
    layout.rowLength = rowLength(width, bitsPerPixel);
    layout.rowCount = height;
    return true;
}

bool readInfoLayout(const unsigned char* header, uint32_t headerLength, BitmapLayout& layout)
{
    int32_t width = static_cast<int32_t>(readLong(header + 4));
    int32_t height = static_cast<int32_t>(readLong(header + 8));
    uint32_t bitsPerPixel = readWord(header + 14);
    uint32_t compression = readLong(header + 16);
    uint32_t imageLength = readLong(header + 20);
    uint32_t coloursUsed = readLong(header + 32);
    if (width <= 0 || height == 0)
        return false;
    // Only the plain information header is followed by its masks; later
    // headers hold them.
    uint64_t masks = 0;
    if (headerLength == kInfoHeaderLength && compression == kBitfields)
        masks = 12;
    else if (headerLength == kInfoHeaderLength && compression == kAlphaBitfields)
        masks = 16;
    uint64_t colours = coloursUsed ? coloursUsed : bitsPerPixel <= 8 ? 1u << bitsPerPixel : 0;
    if (colours > kMostColours)
        colours = kMostColours;
    layout.tableEnd = kFileHeaderLength + headerLength + masks + colours * 4;
    // Run-length decoding stops at the declared length; 0 decodes nothing.
    if (compression == kRle8 || compression == kRle4 || compression == kJpeg || compression == kPng) {
        layout.compressedLength = imageLength;
        return true;
    }
    layout.rowLength = rowLength(static_cast<uint64_t>(width), bitsPerPixel);
    layout.rowCount = static_cast<uint64_t>(height < 0 ? -static_cast<int64_t>(height) : height);
    return true;
}

// No bitmap file of 4 GiB or more can be loaded. Below that, once one row
// fits, rows (fewer than 2^31) times its length cannot pass 2^63.
bool pixelsFit(const BitmapLayout& layout, uint64_t pixelOffset, uint64_t fileLength)
{
    if (fileLength >> 32 || pixelOffset > fileLength)
        return false;
    uint64_t room = fileLength - pixelOffset;
    if (layout.compressedLength > room)
        return false;
    return layout.rowLength == 0 || (layout.rowLength <= room && layout.rowCount * layout.rowLength <= room);
}

}

bool isConsistentBitmapFile(const unsigned char* head, size_t headLength, uint64_t fileLength)
{
    if (headLength < kFileHeaderLength + 4 || head[0] != 'B' || head[1] != 'M')
        return false;
    uint32_t pixelOffset = readLong(head + 10);
    uint32_t headerLength = readLong(head + kFileHeaderLength);
    const unsigned char* header = head + kFileHeaderLength;
    BitmapLayout layout;
    if (headerLength == kCoreHeaderLength) {
        if (headLength < kFileHeaderLength + kCoreHeaderLength || !readCoreLayout(header, layout))
            return false;
    } else if (headerLength >= kInfoHeaderLength) {
        if (headLength < kFileHeaderLength + kInfoHeaderLength
            || !readInfoLayout(header, headerLength, layout))
            return false;
    } else {
        return false;
    }
    if (layout.tableEnd > fileLength)
        return false;
    // An offset into the file header itself puts loaders that count from the
    // information header before the file's start.
    if (pixelOffset != 0 && pixelOffset < kFileHeaderLength)
        return false;
    return pixelsFit(layout, pixelOffset ? pixelOffset : layout.tableEnd, fileLength);
}
