#include "icon_images.h"

#include "png_file.h"

namespace {

const size_t kDirectoryHeader = 6;
const size_t kFileEntry = 16;
const uint16_t kIconType = 1;
const size_t kBitmapInfoHeader = 40;

uint8_t iconDimension(uint32_t pixels) { return pixels == 256 ? 0 : static_cast<uint8_t>(pixels); }

// A bitmap image of an .ico file: a BITMAPINFOHEADER whose height counts the
// colour rows and the mask rows together.
Status checkBitmapImage(ByteView image)
{
    if (!image.fits(0, kBitmapInfoHeader) || image.le32(0) < kBitmapInfoHeader)
        return Refusal{ "is neither a PNG image nor a bitmap with its header" };
    int32_t width = static_cast<int32_t>(image.le32(4));
    int32_t doubleHeight = static_cast<int32_t>(image.le32(8));
    if (width < 1 || width > 256 || doubleHeight < 2 || doubleHeight > 512)
        return Refusal{ "is a bitmap of a size an icon cannot have (1 to 256 pixels wide and high)" };
    return Done{};
}

Status checkIcoImage(ByteView image)
{
    if (startsWithPngSignature(image)) {
        Outcome<PngHeader> png = checkPngIcon(image);
        if (!png)
            return Refusal{ "is a broken PNG image: " + png.message() };
        return Done{};
    }
    return checkBitmapImage(image);
}

bool isIcoFile(ByteView bytes)
{
    return bytes.fits(0, kDirectoryHeader) && bytes.le16(0) == 0 && bytes.le16(2) == kIconType;
}

}  // namespace

Outcome<std::vector<IconImage>> readIcoFile(ByteView ico)
{
    if (!isIcoFile(ico))
        return Refusal{ "not an icon file (no icon directory)" };
    size_t count = ico.le16(4);
    if (count == 0)
        return Refusal{ "the icon file holds no images" };
    if (!ico.fits(kDirectoryHeader, count * kFileEntry))
        return Refusal{ "the icon file is cut short in its directory" };
    // Each image is copied once per entry naming it: entries that share
    // their images would make the executable many times larger than the file.
    size_t unread = ico.size() - kDirectoryHeader - count * kFileEntry;
    std::vector<IconImage> images;
    for (size_t i = 0; i < count; ++i) {
        size_t entry = kDirectoryHeader + i * kFileEntry;
        size_t length = ico.le32(entry + 8), offset = ico.le32(entry + 12);
        if (length == 0 || !ico.fits(offset, length))
            return Refusal{ "the icon file is cut short: image " + std::to_string(i + 1) + " lies beyond its end" };
        if (length > unread)
            return Refusal{ "the icon file's images overlap: up to image " + std::to_string(i + 1) +
                            " they add up to more than the file holds" };
        unread -= length;
        Status valid = checkIcoImage(ico.part(offset, length));
        if (!valid)
            return Refusal{ "image " + std::to_string(i + 1) + " of the icon file " + valid.message() };
        images.push_back(IconImage{ ico.u8(entry), ico.u8(entry + 1), ico.u8(entry + 2), ico.le16(entry + 4),
                                    ico.le16(entry + 6), ico.copy(offset, length) });
    }
    return images;
}

Outcome<IconImage> iconImageFromPng(ByteView png)
{
    Outcome<PngHeader> header = checkPngIcon(png);
    if (!header)
        return header.refusal();
    return IconImage{ iconDimension(header.value().width), iconDimension(header.value().height), 0, 1,
                      header.value().bitsPerPixel(), png.copy(0, png.size()) };
}

Outcome<std::vector<IconImage>> iconImagesFromFiles(const std::vector<IconFile>& files)
{
    if (files.size() == 1 && isIcoFile(files[0].contents)) {
        Outcome<std::vector<IconImage>> images = readIcoFile(files[0].contents);
        if (!images)
            return Refusal{ files[0].name + ": " + images.message() };
        return images;
    }
    std::vector<IconImage> images;
    for (const IconFile& file : files) {
        if (isIcoFile(file.contents))
            return Refusal{ file.name + ": an icon file (.ico) must be the only --icon" };
        if (!startsWithPngSignature(file.contents))
            return Refusal{ file.name + ": neither an icon file (.ico) nor a PNG image" };
        Outcome<IconImage> image = iconImageFromPng(file.contents);
        if (!image)
            return Refusal{ file.name + ": " + image.message() };
        images.push_back(image.value());
    }
    return images;
}

Bytes iconGroupDirectory(const std::vector<IconImage>& images, uint16_t firstId)
{
    Bytes group;
    appendLe16(group, 0);
    appendLe16(group, kIconType);
    appendLe16(group, static_cast<uint16_t>(images.size()));
    for (size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = images[i];
        group.insert(group.end(), { image.width, image.height, image.colourCount, 0 });
        appendLe16(group, image.planes);
        appendLe16(group, image.bitCount);
        appendLe32(group, static_cast<uint32_t>(image.data.size()));
        appendLe16(group, static_cast<uint16_t>(firstId + i));
    }
    return group;
}
