// A splash BMP file, checked before the system's bitmap loader reads it: a
// file the check calls consistent has every part its headers describe
// inside it, as a loader that trusts the headers reads them. The model
// loader below reads each part from a copy of exactly the file's length.
#include "fuzz_check.h"
#include "common/bitmap_file.h"

#include <string.h>

#include <memory>

namespace {

// Where the bytes read go, so that reading them is not left out.
volatile unsigned readSum;

uint32_t word(const uint8_t* at)
{
    return at[0] | at[1] << 8;
}

uint32_t dword(const uint8_t* at)
{
    return word(at) | word(at + 2) << 16;
}

class ModelLoader {
public:
    ModelLoader(const uint8_t* file, uint64_t length) : file_(file), length_(length) {}

    // Reads the headers, the colour masks and table, and the pixel data.
    void load()
    {
        readPart(0, 18);
        uint64_t pixelOffset = dword(file_ + 10);
        uint32_t headerSize = dword(file_ + 14);
        uint64_t tableEnd = 0;
        uint64_t pixelLength = 0;
        if (headerSize == 12) {
            readPart(14, 12);
            uint32_t bits = word(file_ + 24);
            tableEnd = readPart(26, (bits <= 8 ? 1u << bits : 0) * 3);
            pixelLength = stride(word(file_ + 18), bits) * word(file_ + 20);
        } else {
            readPart(14, headerSize);
            const uint8_t* info = file_ + 14;
            int64_t width = static_cast<int32_t>(dword(info + 4));
            int64_t height = static_cast<int32_t>(dword(info + 8));
            uint32_t bits = word(info + 14);
            uint32_t compression = dword(info + 16);
            uint64_t masks = headerSize != 40 ? 0 : compression == 3 ? 3 : compression == 6 ? 4 : 0;
            uint64_t colours = dword(info + 32) ? dword(info + 32) : bits <= 8 ? 1u << bits : 0;
            tableEnd = readPart(14 + uint64_t{ headerSize }, masks * 4 + (colours < 256 ? colours : 256) * 4);
            bool compressed = compression == 1 || compression == 2 || compression == 4 || compression == 5;
            pixelLength = compressed ? dword(info + 20) : stride(width, bits) * (height < 0 ? -height : height);
        }
        readPart(pixelOffset ? pixelOffset : tableEnd, pixelLength);
        readSum = sum_;
    }

private:
    static uint64_t stride(uint64_t width, uint64_t bits) { return (width * bits + 31) / 32 * 4; }

    // Each byte of the part, which must lie inside the file; gives where the part ends.
    uint64_t readPart(uint64_t offset, uint64_t length)
    {
        FUZZ_REQUIRE(offset <= length_ && length <= length_ - offset);
        for (uint64_t i = 0; i < length; ++i)
            sum_ += file_[offset + i];
        return offset + length;
    }

    const uint8_t* file_;
    uint64_t length_;
    unsigned sum_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Exact copies, so that a read past the head or the file is caught.
    size_t headLength = size < kBitmapFileHeadLength ? size : kBitmapFileHeadLength;
    std::unique_ptr<uint8_t[]> head(new uint8_t[headLength]);
    memcpy(head.get(), data, headLength);
    if (!isConsistentBitmapFile(head.get(), headLength, size))
        return 0;
    std::unique_ptr<uint8_t[]> file(new uint8_t[size]);
    memcpy(file.get(), data, size);
    ModelLoader(file.get(), size).load();
    return 0;
}
