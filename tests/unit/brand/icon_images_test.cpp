#include "icon_images.h"
#include "png_builder.h"

#include <gtest/gtest.h>

namespace {

// A bitmap icon image: its header (height counting the mask) and some pixels.
Bytes bitmapImage(int32_t width, int32_t doubleHeight)
{
    Bytes image;
    for (uint32_t field : { 40u, static_cast<uint32_t>(width), static_cast<uint32_t>(doubleHeight) })
        appendLe32(image, field);
    appendLe16(image, 1);
    appendLe16(image, 32);
    image.resize(64, 0xAB);
    return image;
}

Bytes icoFile(const std::vector<Bytes>& images)
{
    Bytes ico;
    appendLe16(ico, 0);
    appendLe16(ico, 1);
    appendLe16(ico, static_cast<uint16_t>(images.size()));
    size_t offset = 6 + 16 * images.size();
    for (const Bytes& image : images) {
        ico.insert(ico.end(), { 48, 48, 0, 0 });
        appendLe16(ico, 1);
        appendLe16(ico, 32);
        appendLe32(ico, static_cast<uint32_t>(image.size()));
        appendLe32(ico, static_cast<uint32_t>(offset));
        offset += image.size();
    }
    for (const Bytes& image : images)
        ico.insert(ico.end(), image.begin(), image.end());
    return ico;
}

std::string failureOf(const std::vector<IconFile>& files)
{
    Outcome<std::vector<IconImage>> images = iconImagesFromFiles(files);
    return images ? "(accepted)" : images.message();
}

TEST(IconImages, pngFilesMakeAGroupWith256WrittenAsZero)
{
    Outcome<std::vector<IconImage>> images =
        iconImagesFromFiles({ { "a.png", pngFile(256, 256) }, { "b.png", pngFile(16, 16, 8, 2) } });
    ASSERT_TRUE(images) << images.message();
    EXPECT_EQ(images.value()[0].data, pngFile(256, 256));
    Bytes group = iconGroupDirectory(images.value(), 7);
    ByteView view(group);
    ASSERT_EQ(group.size(), 6u + 2 * 14);
    EXPECT_EQ(view.le16(4), 2);
    EXPECT_EQ(Bytes(group.begin() + 6, group.begin() + 10), (Bytes{ 0, 0, 0, 0 }));
    EXPECT_EQ(view.le16(6 + 6), 32);  // bits per pixel
    EXPECT_EQ(view.le32(6 + 8), pngFile(256, 256).size());
    EXPECT_EQ(view.le16(6 + 12), 7);
    EXPECT_EQ(Bytes(group.begin() + 20, group.begin() + 24), (Bytes{ 16, 16, 0, 0 }));
    EXPECT_EQ(view.le16(20 + 6), 24);
    EXPECT_EQ(view.le16(20 + 12), 8);
}

TEST(IconImages, anIcoFileGivesItsImagesAsTheyAre)
{
    Bytes bitmap = bitmapImage(48, 96), png = pngFile(256, 256);
    Outcome<std::vector<IconImage>> images = iconImagesFromFiles({ { "app.ico", icoFile({ bitmap, png }) } });
    ASSERT_TRUE(images) << images.message();
    ASSERT_EQ(images.value().size(), 2u);
    EXPECT_EQ(images.value()[0].data, bitmap);
    EXPECT_EQ(images.value()[1].data, png);
    EXPECT_EQ(images.value()[1].width, 48);  // the file's own directory entry
}

TEST(IconImages, refusesBrokenOrMixedFilesNamingTheFile)
{
    Bytes good = icoFile({ bitmapImage(32, 64) });
    Bytes cutDirectory = good;
    cutDirectory.resize(12);
    Bytes cutImage = good;
    cutImage.resize(cutImage.size() - 1);
    Bytes brokenPng = pngFile(32, 32);
    brokenPng.back() ^= 1;
    const std::pair<std::vector<IconFile>, const char*> cases[] = {
        { { { "x.ico", cutDirectory } }, "x.ico: the icon file is cut short in its directory" },
        { { { "x.ico", cutImage } }, "x.ico: the icon file is cut short: image 1 lies beyond its end" },
        { { { "x.ico", icoFile({}) } }, "x.ico: the icon file holds no images" },
        { { { "x.ico", icoFile({ bitmapImage(0, 0) }) } }, "x.ico: image 1 of the icon file is a bitmap of a size" },
        { { { "x.ico", icoFile({ bitmapImage(300, 600) }) } }, "x.ico: image 1 of the icon file is a bitmap of a size" },
        { { { "x.ico", icoFile({ brokenPng }) } }, "x.ico: image 1 of the icon file is a broken PNG image: a PNG" },
        { { { "x.png", brokenPng } }, "x.png: a PNG chunk's CRC" },
        { { { "a.png", pngFile(16, 16) }, { "b.ico", good } }, "b.ico: an icon file (.ico) must be the only --icon" },
        { { { "x.bmp", Bytes{ 'B', 'M', 0, 0, 0, 0, 0, 0 } } }, "x.bmp: neither an icon file (.ico) nor a PNG image" },
    };
    for (const auto& [files, message] : cases)
        EXPECT_EQ(failureOf(files).rfind(message, 0), 0u) << failureOf(files);
}

}  // namespace
