// An icon file given with --icon (an .ico file, or a PNG image): reading it
// ends in images that take no more room than the file, or in a refusal.
#include "fuzz_check.h"
#include "icon_images.h"
#include "png_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Bytes contents(data, data + size);
    Outcome<std::vector<IconImage>> images = iconImagesFromFiles({ IconFile{ "fuzz", contents } });
    if (!images)
        return 0;
    size_t total = 0;
    for (const IconImage& image : images.value())
        total += image.data.size();
    FUZZ_REQUIRE(total <= size);
    FUZZ_REQUIRE(!images.value().empty() && images.value().size() <= 0xFFFF);
    iconGroupDirectory(images.value(), 1);
    return 0;
}
