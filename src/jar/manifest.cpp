#include "jar/manifest.h"

#include <string.h>

namespace {

bool sameName(const char* line, size_t length, const char* name)
{
    if (strlen(name) != length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        char a = line[i];
        char b = name[i];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z')
            b = static_cast<char>(b - 'A' + 'a');
        if (a != b)
            return false;
    }
    return true;
}

}

bool mainAttribute(const Text& manifest, const char* name, Text& value)
{
    bool found = false;
    bool inAttribute = false;
    size_t position = 0;
    while (position < manifest.length()) {
        const char* line = manifest.chars() + position;
        size_t length = 0;
        while (position < manifest.length() && manifest.at(position) != '\n' && manifest.at(position) != '\r') {
            ++position;
            ++length;
        }
        // CR LF, LF or CR ends it.
        if (position < manifest.length() && manifest.at(position) == '\r')
            ++position;
        if (position < manifest.length() && manifest.at(position) == '\n')
            ++position;
        if (length == 0)
            break;
        if (line[0] == ' ') {
            if (inAttribute && !value.append(line + 1, length - 1))
                return false;
            continue;
        }
        inAttribute = false;
        const char* colon = static_cast<const char*>(memchr(line, ':', length));
        if (!colon || static_cast<size_t>(colon - line) + 1 >= length || colon[1] != ' '
            || !sameName(line, static_cast<size_t>(colon - line), name))
            continue;
        const char* start = colon + 2;
        if (!value.assign(start, length - static_cast<size_t>(start - line)))
            return false;
        found = inAttribute = true;
    }
    return found;
}
