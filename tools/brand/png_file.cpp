#include "png_file.h"

#include <string>

namespace {

const uint8_t kSignature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
const uint32_t kIconLimit = 256;
// length, type, CRC around each chunk's data
const size_t kChunkOverhead = 12;

bool isType(ByteView png, size_t chunk, const char* type)
{
    for (int i = 0; i < 4; ++i)
        if (png.u8(chunk + 4 + i) != static_cast<uint8_t>(type[i]))
            return false;
    return true;
}

// Bit depths each colour type allows.
bool validDepth(uint8_t colourType, uint8_t depth)
{
    switch (colourType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2: case 4: case 6: return depth == 8 || depth == 16;
    default: return false;
    }
}

Outcome<PngHeader> readHeader(ByteView png)
{
    if (!png.fits(8, kChunkOverhead + 13) || !isType(png, 8, "IHDR") || png.be32(8) != 13)
        return Refusal{ "the PNG image does not begin with its IHDR header" };
    PngHeader header{ png.be32(16), png.be32(20), png.u8(24), png.u8(25) };
    if (header.width == 0 || header.height == 0 || header.width > kIconLimit || header.height > kIconLimit)
        return Refusal{ "the PNG image is " + std::to_string(header.width) + "x" + std::to_string(header.height) +
                        " pixels: an icon is 1 to 256 pixels wide and high" };
    if (!validDepth(header.colourType, header.bitDepth) || png.u8(26) != 0 || png.u8(27) != 0 || png.u8(28) > 1)
        return Refusal{ "the PNG image's IHDR header holds invalid values" };
    return header;
}

}  // namespace

uint16_t PngHeader::bitsPerPixel() const
{
    static const uint8_t channels[] = { 1, 0, 3, 1, 2, 0, 4 };
    return static_cast<uint16_t>(channels[colourType] * bitDepth);
}

bool startsWithPngSignature(ByteView bytes)
{
    if (!bytes.fits(0, sizeof kSignature))
        return false;
    for (size_t i = 0; i < sizeof kSignature; ++i)
        if (bytes.u8(i) != kSignature[i])
            return false;
    return true;
}

Outcome<PngHeader> checkPngIcon(ByteView png)
{
    if (!startsWithPngSignature(png))
        return Refusal{ "not a PNG image (no PNG signature)" };
    Outcome<PngHeader> header = readHeader(png);
    if (!header)
        return header;
    for (size_t chunk = 8;;) {
        if (!png.fits(chunk, kChunkOverhead) || !png.fits(chunk + kChunkOverhead, png.be32(chunk)))
            return Refusal{ "the PNG image is cut short" };
        size_t length = png.be32(chunk);
        if (crc32(png.part(chunk + 4, 4 + length)) != png.be32(chunk + 8 + length))
            return Refusal{ "a PNG chunk's CRC does not match its contents" };
        if (isType(png, chunk, "IEND"))
            return header;
        chunk += kChunkOverhead + length;
    }
}

uint32_t crc32(ByteView bytes)
{
    static uint32_t table[256];
    if (table[1] == 0)
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < bytes.size(); ++i)
        crc = table[(crc ^ bytes.u8(i)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}
