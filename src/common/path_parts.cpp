#include "common/path_parts.h"

#include "common/text_scan.h"

Text directoryOfPath(const Text& path, char separator)
{
    size_t last = findLastCharacter(path, separator);
    if (last == kNotFound)
        return Text();
    return Text(path.chars(), last + 1);
}

Text nameWithoutExtension(const Text& path, char separator)
{
    Text name(path);
    size_t last = findLastCharacter(name, separator);
    name.removePrefix(last == kNotFound ? 0 : last + 1);
    size_t dot = findLastCharacter(name, '.');
    if (dot != kNotFound)
        name.truncate(dot);
    return name;
}
