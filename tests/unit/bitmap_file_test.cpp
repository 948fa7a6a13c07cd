#include "common/bitmap_file.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

const uint32_t kRle8 = 1, kBitfields = 3, kAlphaBitfields = 6;

// A BMP file's first bytes: the file header and the information header (the
// core header when headerLength is 12).
Bytes head(uint32_t headerLength, int32_t width, int32_t height, uint32_t bits, uint32_t offset,
           uint32_t compression = 0, uint32_t imageLength = 0, uint32_t coloursUsed = 0)
{
    Bytes out = { 'B', 'M' };
    auto put = [&out](uint32_t value, int length) {
        for (int i = 0; i < length; ++i)
            out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    };
    int fieldLength = headerLength == 12 ? 2 : 4;
    for (uint32_t field : { 0u, 0u, offset, headerLength })
        put(field, 4);
    put(static_cast<uint32_t>(width), fieldLength);
    put(static_cast<uint32_t>(height), fieldLength);
    put(1, 2);
    put(bits, 2);
    if (headerLength != 12)
        for (uint32_t field : { compression, imageLength, 0u, 0u, coloursUsed, 0u })
            put(field, 4);
    return out;
}

bool consistent(const Bytes& bytes, uint64_t fileLength)
{
    return isConsistentBitmapFile(bytes.data(), bytes.size(), fileLength);
}

// The lengths are those of whole files of these layouts that load under Wine.
TEST(BitmapFile, AcceptsTheLayoutsThatLoadButNotOneByteLessOfThem)
{
    struct Case { const char* what; Bytes head; uint64_t length; };
    const Case cases[] = {
        { "core 1-bit", head(12, 64, 48, 1, 32), 416 }, { "core 8-bit", head(12, 64, 48, 8, 0), 3866 },
        { "1-bit", head(40, 64, 48, 1, 62), 446 }, { "8-bit", head(40, 64, 48, 8, 1078), 4150 },
        { "24-bit", head(40, 64, 48, 24, 54), 9270 }, { "top-down", head(40, 64, -48, 24, 54), 9270 },
        { "V5 8-bit", head(124, 64, 48, 8, 1162), 4234 }, { "V4 24-bit", head(108, 64, 48, 24, 122), 9338 },
        { "RLE8", head(40, 64, 48, 8, 1078, kRle8, 194), 1272 },
        { "bit fields", head(40, 64, 48, 16, 0, kBitfields), 6210 },
        { "alpha bit fields", head(40, 64, 48, 32, 0, kAlphaBitfields), 12358 },
        { "V5 bit fields", head(124, 64, 48, 32, 138, kBitfields), 12426 },
        { "16 colours", head(40, 64, 48, 8, 118, 0, 0, 16), 3190 },
        { "absurd colour count", head(40, 64, 48, 8, 1078, 0, 0, 0xFFFFFFFF), 4150 },
        { "no pixel offset", head(40, 64, 48, 8, 0), 4150 },
        { "pixels overlapping the header", head(40, 64, 48, 24, 20), 9236 },
        { "header longer than its fields", head(1000, 1, 1, 24, 54), 1014 },
        { "65535 wide", head(12, 65535, 10000, 24, 26), 26 + 10000ull * 196608 },
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(consistent(c.head, c.length)) << c.what;
        EXPECT_TRUE(consistent(c.head, c.length + 1000)) << c.what << ", trailing bytes";
        EXPECT_FALSE(consistent(c.head, c.length - 1)) << c.what;
    }
}

TEST(BitmapFile, RejectsEveryLengthShortOfTheHeaders)
{
    for (const Bytes& whole : { head(40, 64, 48, 24, 54), head(12, 64, 48, 24, 26) }) {
        for (size_t length = 0; length < whole.size(); ++length) {
            Bytes cut(whole.begin(), whole.begin() + length);
            EXPECT_FALSE(consistent(cut, length)) << length;
            EXPECT_FALSE(consistent(cut, 9270)) << length << " bytes read";
        }
    }
}

TEST(BitmapFile, RejectsWhatNoLoaderCanReadInsideTheFile)
{
    Bytes reversed = head(40, 64, 48, 24, 54);
    reversed[0] = 'M';
    reversed[1] = 'B';
    const Bytes cases[] = {
        reversed, head(0, 64, 48, 24, 54), head(16, 64, 48, 24, 54), head(39, 64, 48, 24, 54),
        head(0xFFFFFFFF, 64, 48, 24, 54), head(40, 64, 48, 24, 1), head(40, 64, 48, 24, 13),
        head(40, 64, 48, 24, 9271), head(40, 64, 48, 24, 0xFFFFFFFF),
        head(40, 0, 48, 24, 54), head(40, -64, 48, 24, 54), head(40, 64, 0, 24, 54), head(12, 0, 48, 24, 26),
        head(40, 64, 48, 8, 1078, kRle8, 0xFFFFFFFF),
        // Rows of 2^33 bytes, 2^31 of them: a 64-bit product wraps to 0.
        head(40, 1 << 30, INT32_MIN, 64, 54), head(40, INT32_MAX, INT32_MAX, 65535, 54),
    };
    for (const Bytes& c : cases)
        EXPECT_FALSE(consistent(c, 9270)) << &c - cases;
    EXPECT_FALSE(consistent(head(40, 2, 2, 8, 54), 62)) << "table of 256 colours in 62 bytes";
    EXPECT_FALSE(consistent(head(40, 64, 48, 1, 62, 0, 0, 256), 446)) << "256 colours written as 2";
    EXPECT_FALSE(consistent(head(40, INT32_MAX, INT32_MAX, 65535, 54), UINT64_MAX));
    // 4 GiB or more never loads: a 65535 pixel square of 24 bits would be 12 GiB.
    EXPECT_FALSE(consistent(head(12, 65535, 65535, 24, 26), 26 + 65535ull * 196608));
}

}
