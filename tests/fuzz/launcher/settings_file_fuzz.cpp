// The Linux launcher's settings reader on any file: the input's first line
// names the section, its second the key, the rest is the file. A value is
// found (it never fails for want of memory here) within one line of the
// file; the same with the names in the other case and with blanks around
// them; the same read from the file on disk, where its encoding does not
// come into it.
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
