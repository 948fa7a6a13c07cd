#include "png_builder.h"
#include "png_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

TEST(Png, crcIsTheOnePngChunksCarry)
{
    const std::string check = "123456789";
    EXPECT_EQ(crc32(ByteView(reinterpret_cast<const uint8_t*>(check.data()), check.size())), 0xCBF43926u);
    EXPECT_EQ(crc32(Bytes{ 'I', 'E', 'N', 'D' }), 0xAE426082u);
}

TEST(Png, acceptsIconSizedImagesAndReadsTheirHeader)
{
    for (uint32_t size : { 1u, 16u, 256u }) {
        Outcome<PngHeader> header = checkPngIcon(pngFile(size, size));
        ASSERT_TRUE(header) << header.message();
        EXPECT_EQ(header.value().width, size);
        EXPECT_EQ(header.value().bitsPerPixel(), 32);
    }
    EXPECT_EQ(checkPngIcon(pngFile(48, 32, 8, 2)).value().bitsPerPixel(), 24);
    EXPECT_EQ(checkPngIcon(pngFile(48, 48, 4, 3)).value().bitsPerPixel(), 4);
    EXPECT_EQ(checkPngIcon(pngFile(48, 48, 16, 4)).value().bitsPerPixel(), 32);
}

struct Breakage {
    const char* what;
    std::function<Bytes()> make;
    const char* message;
};

TEST(Png, refusesBrokenImagesSayingWhatIsWrong)
{
    const Breakage breakages[] = {
        { "bad signature", [] { Bytes p = pngFile(32, 32); p[1] = 'J'; return p; }, "no PNG signature" },
        { "zero width", [] { return pngFile(0, 32); }, "0x32 pixels" },
        { "too high", [] { return pngFile(256, 257); }, "256x257 pixels" },
        { "depth the colour type lacks", [] { return pngFile(32, 32, 4, 6); }, "invalid values" },
        { "colour type 5", [] { return pngFile(32, 32, 8, 5); }, "invalid values" },
        { "interlace 2", [] { Bytes p = pngFile(32, 32); p[28] = 2; return p; }, "invalid values" },
        { "header CRC", [] { Bytes p = pngFile(32, 32); p[29] ^= 1; return p; }, "CRC" },
        { "data CRC", [] { Bytes p = pngFile(32, 32); p[p.size() - 14] ^= 1; return p; }, "CRC" },
        { "cut in the data", [] { Bytes p = pngFile(32, 32); p.resize(40); return p; }, "cut short" },
        { "no IEND", [] { Bytes p = pngFile(32, 32); p.resize(p.size() - 12); return p; }, "cut short" },
        { "IHDR not first", [] { Bytes p = pngFile(32, 32); p[12] = 'X'; return p; }, "IHDR" },
        { "cut in the header", [] { Bytes p = pngFile(32, 32); p.resize(20); return p; }, "IHDR" },
    };
    for (const Breakage& breakage : breakages) {
        Outcome<PngHeader> header = checkPngIcon(breakage.make());
        ASSERT_FALSE(header) << breakage.what;
        EXPECT_NE(header.message().find(breakage.message), std::string::npos) << breakage.what << ": " << header.message();
    }
}

}  // namespace
