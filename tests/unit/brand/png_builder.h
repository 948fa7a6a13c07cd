#pragma once
// PNG files for the tests: any dimensions and header fields; the image data
// is a placeholder, as nothing here decodes it.
#include "byte_io.h"
#include "png_file.h"

#include <string>

inline void appendBe32(Bytes& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

inline void appendChunk(Bytes& out, const char* type, const Bytes& data)
{
    appendBe32(out, static_cast<uint32_t>(data.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    appendBe32(out, crc32(typed));
}

inline Bytes pngFile(uint32_t width, uint32_t height, uint8_t depth = 8, uint8_t colourType = 6)
{
    Bytes out = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    Bytes header;
    appendBe32(header, width);
    appendBe32(header, height);
    header.insert(header.end(), { depth, colourType, 0, 0, 0 });
    appendChunk(out, "IHDR", header);
    appendChunk(out, "IDAT", Bytes{ 0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01 });
    appendChunk(out, "IEND", {});
    return out;
}
