#include "common/path_spelling.h"

#include "common/text_scan.h"

PathSpelling choosePathSpelling(const PathConversions& conversions, bool nameMayBeShortened)
{
    if (conversions.longExact)
        return PathSpelling::Long;
    if (conversions.shortFolderExact)
        return PathSpelling::ShortFolder;
    if (nameMayBeShortened && conversions.shortExact)
        return PathSpelling::Short;
    return PathSpelling::None;
}

Text pathUpToNameAt(const Text& path, size_t position, char separator)
{
    if (position >= path.length())
        return path;
    size_t end = findCharacter(path, separator, position);
    return Text(path.chars(), end == kNotFound ? path.length() : end);
}
