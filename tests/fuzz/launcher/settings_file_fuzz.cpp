// The Linux launcher's settings reader on any file: the input's first line
// names the section, its second the key, the rest is the file. A value is
// found (it never fails for want of memory here) within one line of the
// file; the same with the names in the other case and with blanks around
// them; the same read from the file on disk, where its encoding does not
// come into it. The section's keys, enumerated, are each a name and a value
// within one line, without the blanks around them, and the first of a name
// read alone gives the same value unless a NUL cut it.
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "platform/posix/profile_reader.h"

#include <string.h>

namespace {

// Two files in turn, so that the reader's cache of the last file never
// answers for a file rewritten within its time stamp's resolution.
InputFile files[] = { InputFile("launcher-fuzz-a.ini"), InputFile("launcher-fuzz-b.ini") };
size_t turn = 0;

Text spelledOtherwise(const char* name)
{
    Text other;
    FUZZ_REQUIRE(other.assign(" \t"));
    for (const char* c = name; *c; ++c)
        FUZZ_REQUIRE(other.appendChar((*c | 0x20) >= 'a' && (*c | 0x20) <= 'z' ? static_cast<char>(*c ^ 0x20) : *c));
    FUZZ_REQUIRE(other.append("\x1a "));
    return other;
}

bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1a;
}

bool equalIgnoringCase(const Text& a, const Text& b)
{
    if (a.length() != b.length())
        return false;
    for (size_t i = 0; i < a.length(); ++i) {
        char x = a.at(i), y = b.at(i);
        if (x != y && !((x | 0x20) == (y | 0x20) && (x | 0x20) >= 'a' && (x | 0x20) <= 'z'))
            return false;
    }
    return true;
}

bool isAscii(const uint8_t* bytes, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (bytes[i] >= 0x80)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Text section;
    Text key;
    const uint8_t* rest = nullptr;
    size_t restSize = 0;
    splitFirstLine(data, size, section, rest, restSize);
    const uint8_t* contents = nullptr;
    size_t length = 0;
    splitFirstLine(rest, restSize, key, contents, length);
    const char* text = reinterpret_cast<const char*>(contents);

    Text value;
    FUZZ_REQUIRE(findProfileValue(text, length, section.chars(), key.chars(), value));
    FUZZ_REQUIRE(value.length() <= length && strlen(value.chars()) == value.length());
    FUZZ_REQUIRE(!memchr(value.chars(), '\r', value.length()) && !memchr(value.chars(), '\n', value.length()));
    Text same;
    FUZZ_REQUIRE(findProfileValue(text, length, spelledOtherwise(section.chars()).chars(),
                                  spelledOtherwise(key.chars()).chars(), same));
    FUZZ_REQUIRE(sameText(same, value));

    TextList names;
    TextList values;
    FUZZ_REQUIRE(findProfileSection(text, length, section.chars(), names, values));
    FUZZ_REQUIRE(names.count() == values.count());
    bool hasNul = memchr(text, '\0', length) != nullptr;
    bool trimmedName = section.isEmpty() || (!isBlank(section.at(0)) && !isBlank(section.at(section.length() - 1)));
    for (size_t i = 0; i < names.count(); ++i) {
        const Text& name = names.at(i);
        FUZZ_REQUIRE(strlen(name.chars()) == name.length() && strlen(values.at(i).chars()) == values.at(i).length());
        FUZZ_REQUIRE(!memchr(name.chars(), '\n', name.length()) && !memchr(name.chars(), '\r', name.length()));
        FUZZ_REQUIRE(!memchr(values.at(i).chars(), '\n', values.at(i).length()));
        FUZZ_REQUIRE(name.isEmpty() || (name.at(0) != ';' && name.at(0) != ' ' && name.at(name.length() - 1) != ' '));
        bool first = true;
        for (size_t j = 0; j < i && first; ++j)
            first = !equalIgnoringCase(names.at(j), name);
        // The single read takes the section's name without its blanks.
        if (first && !hasNul && !name.isEmpty() && trimmedName) {
            Text alone;
            FUZZ_REQUIRE(findProfileValue(text, length, section.chars(), name.chars(), alone));
            FUZZ_REQUIRE(sameText(alone, values.at(i)));
        }
    }

    InputFile& file = files[turn++ % 2];
    file.write(contents, length);
    bool marked = length >= 3 && memcmp(contents, "\xEF\xBB\xBF", 3) == 0;
    Text read;
    FUZZ_REQUIRE(read.assign(readProfileValue(file.path(), section.chars(), key.chars())));
    if (!marked || isAscii(contents + 3, length - 3))
        FUZZ_REQUIRE(sameText(read, value));
    FUZZ_REQUIRE(sameText(readProfileValue(file.path(), section.chars(), key.chars()), read));
    return 0;
}
