// A JAR's manifest, read both ways the launcher reads it: for an attribute
// of the main section as the java launcher reads it (the input's first line
// names it; the SplashScreen-Image is looked up too), and for a Main-Class as
// java.util.jar reads it. The readers hold to the rules they share: a value
// found belongs to a header whose name has no colon and whose value no line
// end; names are found without regard to case; CR LF, LF and CR end lines
// alike, where no line is near java's 512-byte limit.
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "jar/manifest.h"

#include <string.h>

namespace {

// Far enough below java's 512 bytes that its quirk at a CR on the 512th does not come into it.
const size_t kLongestPlainLine = 500;

struct Reading {
    bool found = false;
    Text value;
    bool namesMainClass = false;
};

Reading readManifest(const Text& manifest, const char* name)
{
    Reading reading;
    reading.found = mainAttribute(manifest, name, reading.value);
    reading.namesMainClass = javaNamesMainClass(manifest);
    return reading;
}

bool sameReading(const Reading& a, const Reading& b)
{
    return a.found == b.found && (!a.found || sameText(a.value, b.value)) && a.namesMainClass == b.namesMainClass;
}

Text withCaseSwapped(const char* name)
{
    Text swapped;
    FUZZ_REQUIRE(swapped.assign(name));
    for (size_t i = 0; i < swapped.length(); ++i) {
        char c = swapped.at(i);
        if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z')
            swapped.setAt(i, static_cast<char>(c ^ 0x20));
    }
    return swapped;
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// The manifest with every line ended by LF alone; false when a line is too long to tell.
bool withPlainLineEnds(const Text& manifest, Text& plain)
{
    size_t lineLength = 0;
    for (size_t i = 0; i < manifest.length(); ++i) {
        char c = manifest.at(i);
        lineLength = isLineEnd(c) ? 0 : lineLength + 1;
        if (lineLength >= kLongestPlainLine)
            return false;
        if (c == '\r' && i + 1 < manifest.length() && manifest.at(i + 1) == '\n')
            continue;
        FUZZ_REQUIRE(plain.appendChar(c == '\r' ? '\n' : c));
    }
    return true;
}

void checkAttribute(const Text& manifest, const char* name)
{
    Reading reading = readManifest(manifest, name);
    if (reading.found) {
        FUZZ_REQUIRE(strchr(name, ':') == nullptr && strchr(name, '\r') == nullptr);
        FUZZ_REQUIRE(reading.value.length() < manifest.length());
        FUZZ_REQUIRE(strlen(reading.value.chars()) == reading.value.length());
        FUZZ_REQUIRE(!memchr(reading.value.chars(), '\r', reading.value.length())
                     && !memchr(reading.value.chars(), '\n', reading.value.length()));
    }
    FUZZ_REQUIRE(sameReading(readManifest(manifest, withCaseSwapped(name).chars()), reading));
    Text plain;
    if (withPlainLineEnds(manifest, plain))
        FUZZ_REQUIRE(sameReading(readManifest(plain, name), reading));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Text name;
    const uint8_t* rest = nullptr;
    size_t restSize = 0;
    splitFirstLine(data, size, name, rest, restSize);
    Text manifest;
    FUZZ_REQUIRE(manifest.assign(reinterpret_cast<const char*>(rest), restSize));
    checkAttribute(manifest, name.chars());
    checkAttribute(manifest, "SplashScreen-Image");
    return 0;
}
