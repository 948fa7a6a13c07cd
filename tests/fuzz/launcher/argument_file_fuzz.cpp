// An argument file's bytes, split into items as they come: fed in runs of
// any length they give the items they give fed whole, each a C string, no
// more bytes in all than the file has. Where pieces end matters to java only
// at a NUL byte or a '#', so a file without either gives the same items
// after blanks that move a piece's end before any byte of it. The input's
// first byte picks the locale (the single-byte C locale, GBK, whose second
// bytes include '\', or UTF-8), the next two the run lengths and that byte;
// the file follows.
#include "config/argument_file.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

#include <locale.h>
#include <sanitizer/lsan_interface.h>
#include <string.h>

namespace {

const size_t kPiece = 4096;
locale_t locales[3];

// Runs around java's piece of 4,096 bytes, and the splitter's window just
// past it, as often as short and long ones.
size_t nextRunLength(uint32_t& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    size_t choice = state >> 8;
    switch (state & 3) {
    case 0: return 1 + choice % 16;
    case 1: return kPiece - 8 + choice % 32;
    case 2: return 1 + choice % 64;
    default: return 1 + choice % (3 * kPiece);
    }
}

bool sameItems(const TextList& a, const TextList& b)
{
    if (a.count() != b.count())
        return false;
    for (size_t i = 0; i < a.count(); ++i)
        if (!sameText(a.at(i), b.at(i)))
            return false;
    return true;
}

void checkItems(const TextList& items, size_t fileLength)
{
    FUZZ_REQUIRE(items.count() <= fileLength);
    size_t total = 0;
    for (size_t i = 0; i < items.count(); ++i) {
        FUZZ_REQUIRE(strlen(items.at(i).chars()) == items.at(i).length());
        total += items.at(i).length();
    }
    FUZZ_REQUIRE(total <= fileLength);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Where a locale is not installed, the C locale stands in for it. The
    // C library keeps what loading them takes for the whole run.
    __lsan::ScopedDisabler keptForTheRun;
    const char* const names[] = { "C", "zh_CN.GBK", "C.UTF-8" };
    for (size_t i = 0; i < 3; ++i) {
        locales[i] = newlocale(LC_CTYPE_MASK, names[i], static_cast<locale_t>(0));
        if (!locales[i]) {
            fprintf(stderr, "argument_file_fuzz: no locale %s (LOCPATH?): the C locale stands in\n", names[i]);
            locales[i] = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    uselocale(locales[data[0] % 3]);
    uint32_t runs = data[1] | data[2] << 8 | 0x10000;
    const char* file = reinterpret_cast<const char*>(data + 3);
    size_t length = size - 3;
    // As many as put the file's byte the input picks at the start of a piece.
    size_t blanks = (kPiece - runs % (length + 1) % kPiece) % kPiece;

    Text whole;
    FUZZ_REQUIRE(whole.assign(file, length));
    TextList expected;
    FUZZ_REQUIRE(splitArgumentFile(whole, expected));
    checkItems(expected, length);

    TextList items;
    ArgumentFileSplitter splitter(items);
    for (size_t at = 0; at < length;) {
        size_t run = nextRunLength(runs);
        run = run < length - at ? run : length - at;
        FUZZ_REQUIRE(splitter.take(file + at, run));
        at += run;
    }
    FUZZ_REQUIRE(splitter.finish());
    FUZZ_REQUIRE(sameItems(items, expected));

    if (!memchr(file, '\0', length) && !memchr(file, '#', length)) {
        Text padded;
        FUZZ_REQUIRE(padded.reserve(blanks + length));
        for (size_t i = 0; i < blanks; ++i)
            FUZZ_REQUIRE(padded.appendChar(i % 7 == 6 ? '\n' : ' '));
        FUZZ_REQUIRE(padded.append(file, length));
        TextList moved;
        FUZZ_REQUIRE(splitArgumentFile(padded, moved));
        FUZZ_REQUIRE(sameItems(moved, expected));
    }
    uselocale(LC_GLOBAL_LOCALE);
    return 0;
}
