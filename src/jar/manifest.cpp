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

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

// The length of a header's name: the bytes before ": ", which must follow.
bool headerName(const char* line, size_t length, size_t& nameLength)
{
    const char* colon = static_cast<const char*>(memchr(line, ':', length));
    nameLength = colon ? static_cast<size_t>(colon - line) : 0;
    return colon && nameLength + 1 < length && colon[1] == ' ';
}

// java.util.jar.Attributes.Name's rule.
bool isJavaName(const char* name, size_t length)
{
    if (length == 0 || length > 70)
        return false;
    for (size_t i = 0; i < length; ++i) {
        char c = name[i];
        if (!((c | 0x20) >= 'a' && (c | 0x20) <= 'z') && !(c >= '0' && c <= '9') && c != '-' && c != '_')
            return false;
    }
    return true;
}

// The lines as java.util.jar.Manifest reads them: at most 512 bytes with
// their end. A CR takes an LF after it into its end, unless the CR is the
// 512th byte and not the last of the reader's 8 KiB buffer: the LF is then an
// empty line of its own.
struct JavaLines {
    const Text& text;
    size_t at;
    bool tooLong;

    // False at the end, where a last line without its end is left out, and at a line too long.
    bool next(const char*& line, size_t& length)
    {
        size_t left = text.length() - at;
        size_t most = left < 512 ? left : 512;
        line = text.chars() + at;
        for (length = 0; length < most && !isLineEnd(line[length]); ++length) {
        }
        tooLong = length == 512;
        if (length == most)
            return false;
        at += length + 1;
        if (line[length] == '\r' && at < text.length() && text.at(at) == '\n' && (length < 511 || at % 8192 == 0))
            ++at;
        return true;
    }
};

}

bool mainAttribute(const Text& manifest, const char* name, Text& value)
{
    bool found = false;
    const char* text = manifest.chars();
    size_t end = strlen(text);
    size_t at = 0;
    Text header;
    while (at < end && !isLineEnd(text[at])) {
        // A header line, then the lines that continue it without their first space.
        header.clear();
        for (bool continued = false; !continued || (at < end && text[at] == ' '); continued = true) {
            size_t start = at + (continued ? 1 : 0);
            for (at = start; at < end && !isLineEnd(text[at]); ++at) {
            }
            if ((continued && at == end) || !header.append(text + start, at - start))
                return false;
            if (at < end)
                at += text[at] == '\r' && text[at + 1] == '\n' ? 2 : 1;
            else
                break;
        }
        size_t nameLength = 0;
        if (!headerName(header.chars(), header.length(), nameLength))
            return false;
        if (sameName(header.chars(), nameLength, name)) {
            if (!value.assign(header.chars() + nameLength + 2, header.length() - nameLength - 2))
                return false;
            found = true;
        }
    }
    return found;
}

bool javaNamesMainClass(const Text& manifest)
{
    JavaLines lines = { manifest, 0, false };
    bool names = false;
    bool mainSection = true;
    // Reading a section's headers (the main section's first), else between sections.
    bool headers = true;
    // The line before goes on in this one; it was a section's name, or a header with this name.
    bool continued = false;
    bool sectionName = false;
    const char* name = nullptr;
    size_t nameLength = 0;
    const char* line = nullptr;
    size_t length = 0;
    while (lines.next(line, length)) {
        if (!continued) {
            if (length == 0) {
                mainSection = headers = false;
                continue;
            }
            sectionName = !headers;
            if (sectionName ? length < 6 || !sameName(line, 4, "name") || line[4] != ':' || line[5] != ' '
                            : line[0] == ' ' || !headerName(line, length, nameLength))
                return false;
            name = line;
        }
        // Java looks one byte ahead for a continuation line.
        continued = lines.at < manifest.length() && manifest.at(lines.at) == ' ';
        if (continued)
            continue;
        if (sectionName) {
            headers = true;
            continue;
        }
        if (!isJavaName(name, nameLength))
            return false;
        names = names || (mainSection && sameName(name, nameLength, "Main-Class"));
    }
    return names && !lines.tooLong;
}
