#pragma once
// The system's UTF-16 names and values in the ANSI code page, exact or not
// at all: never through a best-fit look-alike ("Lukasz" for "Łukasz").
#include "common/memory.h"
#include "common/text.h"

#include <windows.h>

// A UTF-16 text the system filled in; units() is null when memory or room
// ran out.
struct WideText {
    MemoryBlock block;
    DWORD length = 0;
    const wchar_t* units() const { return reinterpret_cast<const wchar_t*>(block.get()); }
};

// Calls fill(buffer, size) with a growing buffer of `size` units: it gives
// the length filled, the size it needs (or its size when it cut the text),
// or 0 when the system gave nothing (its caller reads why). False without
// memory or room.
template <typename Fill>
bool fillWideText(WideText& text, Fill fill)
{
    for (DWORD size = MAX_PATH; size <= 0x10000;) {
        text.block.reset(static_cast<char*>(allocateMemory(size * sizeof(wchar_t))));
        if (!text.block.isValid())
            return false;
        DWORD got = fill(reinterpret_cast<wchar_t*>(text.block.get()), size);
        if (got < size) {
            text.length = got;
            return true;
        }
        size = got > size ? got : size * 2;
    }
    text.block.reset();
    return false;
}

// The code page's text in UTF-16, NUL-terminated; false without memory.
bool widen(const char* text, WideText& wide);

// Converts the units to the code page into converted; true when every
// character converted exactly. Where one cannot, converted holds '?'.
// False too when memory runs out (converted is then empty).
bool convertToCodePage(const wchar_t* units, size_t length, Text& converted);

// A path in the code page: as it is, else its folder's short (8.3) form with
// its own name, else, when the name may be shortened too, its short form.
// False when none is exact; path then holds the best attempt with '?' for
// what the code page lacks.
bool codePagePath(const wchar_t* units, size_t length, bool nameMayBeShortened, Text& path);
