#include "common/text_scan.h"

#include "common/characters.h"

#include <string.h>

namespace {

// The system's stepping stands still on a NUL; a NUL inside a text is then
// stepped over as one character, so that no scan can spin on it.
size_t nextPosition(const Text& text, size_t at)
{
    const char* start = text.chars();
    size_t next = static_cast<size_t>(nextCharacter(start + at) - start);
    return next > at ? next : at + 1;
}

}

size_t findCharacter(const Text& text, char c, size_t from)
{
    for (size_t at = from; at < text.length(); at = nextPosition(text, at))
        if (text.at(at) == c)
            return at;
    return kNotFound;
}

size_t findLastCharacter(const Text& text, char c)
{
    size_t found = kNotFound;
    for (size_t at = 0; at < text.length(); at = nextPosition(text, at))
        if (text.at(at) == c)
            found = at;
    return found;
}

size_t findText(const Text& text, const Text& wanted, size_t from)
{
    size_t size = wanted.length();
    if (size == 0)
        return kNotFound;
    for (size_t at = from; at < text.length(); at = nextPosition(text, at))
        if (text.at(at) == wanted.at(0) && text.length() - at >= size
            && memcmp(text.chars() + at, wanted.chars(), size) == 0)
            return at;
    return kNotFound;
}

size_t skipCharacter(const Text& text, char c, size_t from)
{
    size_t at = from;
    while (at < text.length() && text.at(at) == c)
        at = nextPosition(text, at);
    return at;
}

size_t firstCharacterFrom(const Text& text, size_t start, size_t from)
{
    size_t at = start;
    while (at < from)
        at = nextPosition(text, at);
    return at;
}

size_t findDigit(const char* text)
{
    for (const char* p = text; *p; p = nextCharacter(p))
        if (*p >= '0' && *p <= '9')
            return static_cast<size_t>(p - text);
    return kNotFound;
}

bool endsWithCharacter(const Text& text, char c)
{
    size_t last = kNotFound;
    for (size_t at = 0; at < text.length(); at = nextPosition(text, at))
        last = at;
    return last != kNotFound && text.at(last) == c;
}

bool endWithCharacter(Text& text, char c)
{
    return endsWithCharacter(text, c) || text.appendChar(c);
}

void replaceCharacter(Text& text, char from, char to)
{
    for (size_t at = 0; at < text.length(); at = nextPosition(text, at))
        if (text.at(at) == from)
            text.setAt(at, to);
}
