#include "common/path_parts.h"

#include "common/text_scan.h"

bool directoryOfPath(const Text& path, char separator, Text& directory)
{
    size_t last = findLastCharacter(path, separator);
    if (last == kNotFound) {
        directory.clear();
        return true;
    }
    return directory.assign(path.chars(), last + 1);
}

bool nameWithoutExtension(const Text& path, char separator, Text& name)
{
    size_t last = findLastCharacter(path, separator);
    size_t start = last == kNotFound ? 0 : last + 1;
    if (!name.assign(path.chars() + start, path.length() - start))
        return false;
    size_t dot = findLastCharacter(name, '.');
    if (dot != kNotFound)
        name.truncate(dot);
    return true;
}
