#include "splash/bitmap_file.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

const uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6;

// The first bytes of a BMP file; the lengths in the tests are those of whole
// files written by an independent generator and loaded under Wine.
struct BitmapHead {
    uint32_t headerLength = 40;
    int32_t width = 64;
    int32_t height = 48;
    uint32_t bitsPerPixel = 24;
    uint32_t compression = kRgb;
    uint32_t imageLength = 0;
    uint32_t coloursUsed = 0;
    uint32_t pixelOffset = 0;
    const char* signature = "BM";

    Bytes bytes() const
    {
        Bytes out = { static_cast<unsigned char>(signature[0]), static_cast<unsigned char>(signature[1]) };
        put(out, 0, 4);
        put(out, 0, 4);
        put(out, pixelOffset, 4);
        put(out, headerLength, 4);
        if (headerLength == 12) {
            put(out, static_cast<uint32_t>(width), 2);
            put(out, static_cast<uint32_t>(height), 2);
            put(out, 1, 2);
            put(out, bitsPerPixel, 2);
            return out;
        }
        put(out, static_cast<uint32_t>(width), 4);
        put(out, static_cast<uint32_t>(height), 4);
        put(out, 1, 2);
        put(out, bitsPerPixel, 2);
        for (uint32_t field : { compression, imageLength, 2835u, 2835u, coloursUsed, 0u })
            put(out, field, 4);
        return out;
    }

    static void put(Bytes& out, uint32_t value, int length)
    {
        for (int i = 0; i < length; ++i)
            out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
};

bool consistent(const BitmapHead& head, uint64_t fileLength)
{
    Bytes bytes = head.bytes();
    return isConsistentBitmapFile(bytes.data(), bytes.size(), fileLength);
}

BitmapHead head(uint32_t headerLength, uint32_t bitsPerPixel, uint32_t pixelOffset)
{
    BitmapHead h;
    h.headerLength = headerLength;
    h.bitsPerPixel = bitsPerPixel;
    h.pixelOffset = pixelOffset;
    return h;
}

TEST(BitmapFile, AcceptsTheLayoutsThatLoadButNotOneByteLessOfThem)
{
    struct Case { const char* what; BitmapHead head; uint64_t length; };
    BitmapHead topDown = head(40, 24, 54);
    topDown.height = -48;
    BitmapHead rle8 = head(40, 8, 1078);
    rle8.compression = kRle8;
    rle8.imageLength = 194;
    BitmapHead rle4 = head(40, 4, 118);
    rle4.compression = kRle4;
    rle4.imageLength = 194;
    BitmapHead bitfields = head(40, 16, 66);
    bitfields.compression = kBitfields;
    BitmapHead alphaBitfields = head(40, 32, 70);
    alphaBitfields.compression = kAlphaBitfields;
    BitmapHead v5Bitfields = head(124, 32, 138);
    v5Bitfields.compression = kBitfields;
    BitmapHead fewColours = head(40, 8, 118);
    fewColours.coloursUsed = 16;
    BitmapHead absurdColours = head(40, 8, 1078);
    absurdColours.coloursUsed = 0xFFFFFFFF;
    BitmapHead tableAfterNoOffset = head(40, 8, 0);
    BitmapHead widest = head(12, 24, 26);
    widest.width = 65535;
    widest.height = 65535;
    const Case cases[] = {
        { "core 1-bit", head(12, 1, 32), 416 }, { "core 8-bit", head(12, 8, 794), 3866 },
        { "core 24-bit", head(12, 24, 26), 9242 }, { "1-bit", head(40, 1, 62), 446 },
        { "4-bit", head(40, 4, 118), 1654 }, { "8-bit", head(40, 8, 1078), 4150 },
        { "32-bit", head(40, 32, 54), 12342 }, { "V4 24-bit", head(108, 24, 122), 9338 },
        { "V5 8-bit", head(124, 8, 1162), 4234 }, { "top-down", topDown, 9270 },
        { "RLE8", rle8, 1272 }, { "RLE4", rle4, 312 }, { "bitfields", bitfields, 6210 },
        { "alpha bitfields", alphaBitfields, 12358 }, { "V5 bitfields", v5Bitfields, 12426 },
        { "16 colours", fewColours, 3190 }, { "absurd colour count", absurdColours, 4150 },
        { "pixels right after the table", tableAfterNoOffset, 4150 },
        { "pixels overlapping the header", head(40, 24, 20), 9236 },
        { "pixels after a gap", head(40, 24, 154), 9370 },
        { "65535 square", widest, 26 + 65535ull * 196608 },
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(consistent(c.head, c.length)) << c.what;
        EXPECT_TRUE(consistent(c.head, c.length + 1000)) << c.what << ", trailing bytes";
        EXPECT_FALSE(consistent(c.head, c.length - 1)) << c.what;
    }
}

TEST(BitmapFile, RejectsEveryLengthShortOfTheHeaders)
{
    for (BitmapHead h : { head(40, 24, 54), head(12, 24, 26) }) {
        Bytes bytes = h.bytes();
        for (size_t length = 0; length < bytes.size(); ++length) {
            Bytes cut(bytes.begin(), bytes.begin() + length);
            EXPECT_FALSE(isConsistentBitmapFile(cut.data(), cut.size(), length)) << length;
            EXPECT_FALSE(isConsistentBitmapFile(cut.data(), cut.size(), 9270)) << length << " read";
        }
        EXPECT_FALSE(isConsistentBitmapFile(bytes.data(), bytes.size(), 0));
    }
}

TEST(BitmapFile, RejectsHeadersOffsetsAndTablesOutsideTheFile)
{
    for (uint32_t length : { 0u, 11u, 13u, 16u, 39u, 0xFFFFFFFFu })
        EXPECT_FALSE(consistent(head(length, 24, 54), 9270)) << "header length " << length;
    BitmapHead longHeader = head(1000, 24, 54);
    longHeader.width = longHeader.height = 1;
    EXPECT_TRUE(consistent(longHeader, 1014));
    EXPECT_FALSE(consistent(longHeader, 1013));
    for (uint32_t offset : { 1u, 13u, 9271u, 0xFFFFFFFFu })
        EXPECT_FALSE(consistent(head(40, 24, offset), 9270)) << "offset " << offset;
    BitmapHead tiny = head(40, 8, 54);
    tiny.width = tiny.height = 2;
    EXPECT_FALSE(consistent(tiny, 62)) << "table of 256 colours in 62 bytes";
    BitmapHead claimedColours = head(40, 1, 62);
    claimedColours.coloursUsed = 256;
    EXPECT_FALSE(consistent(claimedColours, 446)) << "table of 256 colours written as 2";
    BitmapHead longRun = head(40, 8, 1078);
    longRun.compression = kRle8;
    longRun.imageLength = 0xFFFFFFFF;
    EXPECT_FALSE(consistent(longRun, 1272));
    longRun.imageLength = 0;
    EXPECT_TRUE(consistent(longRun, 1078)) << "no runs decode nothing";
}

TEST(BitmapFile, RejectsEmptyOrUnsignedImagesAndSizesPastAnyFile)
{
    BitmapHead h = head(40, 24, 54);
    h.signature = "MB";
    EXPECT_FALSE(consistent(h, 9270));
    for (int32_t width : { 0, -64 }) {
        h = head(40, 24, 54);
        h.width = width;
        EXPECT_FALSE(consistent(h, 9270)) << width;
    }
    h = head(40, 24, 54);
    h.height = 0;
    EXPECT_FALSE(consistent(h, 9270));
    h = head(12, 24, 26);
    h.width = 0;
    EXPECT_FALSE(consistent(h, 9242));
    // 2^30 pixels of 64 bits make rows of 2^33 bytes; 2^31 of them wrap a
    // 64-bit product to 0.
    h = head(40, 64, 54);
    h.width = 1 << 30;
    h.height = INT32_MIN;
    EXPECT_FALSE(consistent(h, 1000));
    EXPECT_FALSE(consistent(h, UINT64_MAX));
    h.bitsPerPixel = 65535;
    h.width = INT32_MAX;
    EXPECT_FALSE(consistent(h, UINT64_MAX));
}

}
