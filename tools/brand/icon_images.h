#pragma once
// The images of the icon group: read from one .ico file as they are, or made
// from PNG files (each stored whole, as Windows reads PNG icon images), and
// the group directory (RT_GROUP_ICON) that lists them.
#include "byte_io.h"
#include "outcome.h"

#include <string>
#include <vector>

struct IconImage {
    uint8_t width;   // 0 stands for 256
    uint8_t height;  // 0 stands for 256
    uint8_t colourCount;
    uint16_t planes;
    uint16_t bitCount;
    Bytes data;      // what one RT_ICON resource holds
};

struct IconFile {
    std::string name;
    Bytes contents;
};

// One .ico file, or one or more PNG files; a failure names the file.
Outcome<std::vector<IconImage>> iconImagesFromFiles(const std::vector<IconFile>& files);

Outcome<std::vector<IconImage>> readIcoFile(ByteView ico);
Outcome<IconImage> iconImageFromPng(ByteView png);

// The RT_GROUP_ICON data for images stored as RT_ICON firstId, firstId+1, ...
Bytes iconGroupDirectory(const std::vector<IconImage>& images, uint16_t firstId);
