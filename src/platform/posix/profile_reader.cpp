#include "platform/posix/profile_reader.h"

#include "platform/posix/file_contents.h"
#include "platform/posix/utf8_conversion.h"

#include <string.h>

namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";

struct Span {
    const char* start;
    const char* end;
};

// The profile reader counts ^Z (an old DOS end-of-file mark) as a blank.
bool isProfileBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1a;
}

char foldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names and values are read as C strings: each ends at its first NUL.
Span upToNul(Span span)
{
    const void* nul = memchr(span.start, '\0', static_cast<size_t>(span.end - span.start));
    if (nul)
        span.end = static_cast<const char*>(nul);
    return span;
}

Span trimmed(Span span)
{
    while (span.start < span.end && isProfileBlank(*span.start))
        ++span.start;
    while (span.end > span.start && isProfileBlank(span.end[-1]))
        --span.end;
    return span;
}

bool sameName(Span name, Span wanted)
{
    if (name.end - name.start != wanted.end - wanted.start)
        return false;
    for (const char *a = name.start, *b = wanted.start; a < name.end; ++a, ++b)
        if (foldCase(*a) != foldCase(*b))
            return false;
    return true;
}

// A line ends at each '\n' and at each '\r'.
Span nextLine(const char*& position, const char* end)
{
    const char* stop = static_cast<const char*>(memchr(position, '\n', static_cast<size_t>(end - position)));
    if (!stop)
        stop = end;
    const char* carriageReturn = static_cast<const char*>(memchr(position, '\r', static_cast<size_t>(stop - position)));
    if (carriageReturn)
        stop = carriageReturn;
    Span line = { position, stop };
    position = stop < end ? stop + 1 : end;
    return line;
}

// A section header: '[' then the name up to the line's last ']', without the
// blanks around it.
bool sectionName(Span line, Span& name)
{
    if (line.start == line.end || *line.start != '[')
        return false;
    for (const char* p = line.end; p > line.start + 1; --p) {
        if (p[-1] == ']') {
            name = upToNul(trimmed({ line.start + 1, p - 1 }));
            return true;
        }
    }
    return false;
}

bool assignUnquoted(Span value, Text& out)
{
    size_t length = static_cast<size_t>(value.end - value.start);
    if (length >= 2 && (*value.start == '"' || *value.start == '\'')
        && value.end[-1] == *value.start)
        return out.assign(value.start + 1, length - 2);
    return out.assign(value.start, length);
}

}

bool findProfileValue(const char* contents, size_t length, const char* section,
                      const char* key, Text& value, bool* given)
{
    value.clear();
    bool found = false;
    if (!given)
        given = &found;
    *given = false;
    Span wantedSection = trimmed({ section, section + strlen(section) });
    Span wantedKey = trimmed({ key, key + strlen(key) });
    const char* end = contents + length;
    const char* position = contents;
    if (length >= 3 && memcmp(contents, kUtf8Mark, 3) == 0)
        position += 3;
    bool inSection = false;
    bool sectionSeen = false;
    while (position < end) {
        Span line = nextLine(position, end);
        line.start = trimmed(line).start;
        if (line.start >= line.end)
            continue;
        Span name;
        if (sectionName({ line.start, line.end }, name)) {
            // Only the first section of a name is looked at.
            if (sectionSeen)
                return true;
            inSection = sameName(name, wantedSection);
            sectionSeen = inSection;
            continue;
        }
        if (!inSection)
            continue;
        line = trimmed(line);
        const char* equals =
            static_cast<const char*>(memchr(line.start, '=', static_cast<size_t>(line.end - line.start)));
        // A line without '=' is a key without a value: it reads as empty, and
        // it hides a later key of the same name.
        Span keyName = upToNul(equals ? trimmed({ line.start, equals }) : line);
        if (sameName(keyName, wantedKey)) {
            *given = equals != nullptr;
            return !equals || assignUnquoted(upToNul(trimmed({ equals + 1, line.end })), value);
        }
    }
    return true;
}

namespace {

// The settings file of a launch is read once: later queries of the same,
// unchanged file, and the reads of one value again into larger buffers, are
// answered from memory.
struct ProfileCache {
    Text path;
    FileIdentity identity;
    Text contents;
    bool hasValue = false;
    Text section;
    Text key;
    Text value;
};

ProfileCache cache;

bool loadProfile(const char* file)
{
    cache.path.clear();
    cache.hasValue = false;
    if (!readRegularFile(file, cache.contents, cache.identity))
        return false;
    // A file that begins with the UTF-8 mark is UTF-8 text; its values are
    // given in the locale's encoding.
    Text converted;
    if (cache.contents.length() >= 3 && memcmp(cache.contents.chars(), kUtf8Mark, 3) == 0
        && utf8ToLocaleEncoding(cache.contents.chars() + 3, cache.contents.length() - 3, converted))
        cache.contents = static_cast<Text&&>(converted);
    return cache.path.assign(file, strlen(file));
}

bool isCached(const char* file)
{
    FileIdentity identity;
    return !cache.path.isEmpty() && cache.path.equals(file) && regularFileIdentity(file, identity)
        && identity == cache.identity;
}

}

const Text& readProfileValue(const char* file, const char* section, const char* key)
{
    static const Text none;
    if (!isCached(file) && !loadProfile(file)) {
        cache.contents.clear();
        return none;
    }
    if (cache.hasValue && cache.section.equals(section) && cache.key.equals(key))
        return cache.value;
    cache.hasValue = findProfileValue(cache.contents.chars(), cache.contents.length(), section, key, cache.value)
        && cache.section.assign(section, strlen(section)) && cache.key.assign(key, strlen(key));
    return cache.value;
}

bool profileGivesValue(const char* file, const char* section, const char* key)
{
    if (!isCached(file) && !loadProfile(file)) {
        cache.contents.clear();
        return false;
    }
    Text value;
    bool given = false;
    findProfileValue(cache.contents.chars(), cache.contents.length(), section, key, value, &given);
    return given;
}

size_t copyProfileValue(const Text& value, char* buffer, size_t size)
{
    if (size == 0)
        return 0;
    size_t copied = value.length() < size ? value.length() : size - 1;
    memcpy(buffer, value.chars(), copied);
    buffer[copied] = '\0';
    return copied;
}
