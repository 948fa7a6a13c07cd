#pragma once
// The checks an icon image in PNG form must pass before it goes into an
// executable: Windows (Vista and later) reads such images as they are, so a
// broken one would only show up as a missing icon on the user's desktop.
#include "byte_io.h"
#include "outcome.h"

#include <stdint.h>

struct PngHeader {
    uint32_t width;
    uint32_t height;
    uint8_t bitDepth;
    uint8_t colourType;

    // Bits per pixel, what an icon directory entry says of the image.
    uint16_t bitsPerPixel() const;
};

bool startsWithPngSignature(ByteView bytes);

// The header of a whole, intact PNG file of at most 256 x 256 pixels: the
// signature, IHDR first with valid fields, every chunk within the file with
// its CRC right, and IEND last.
Outcome<PngHeader> checkPngIcon(ByteView png);

// CRC-32 (ISO 3309, the one PNG chunks carry).
uint32_t crc32(ByteView bytes);
