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

bool pathUpToNameAt(const Text& path, size_t position, char separator, Text& name)
{
    if (position >= path.length())
        return name.assign(path);
    size_t end = findCharacter(path, separator, position);
    return name.assign(path.chars(), end == kNotFound ? path.length() : end);
}
