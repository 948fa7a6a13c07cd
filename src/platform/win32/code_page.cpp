#include "platform/win32/code_page.h"

#include "common/path_spelling.h"

namespace {

// Where a name has no short form (short names turned off on its volume, or
// the file not there), the long form comes back, or nothing.
bool shortForm(const wchar_t* path, WideText& shortPath)
{
    bool filled = fillWideText(shortPath, [&](wchar_t* buffer, DWORD size) {
        return GetShortPathNameW(path, buffer, size);
    });
    return filled && shortPath.length > 0;
}

bool copyUnits(const wchar_t* units, size_t length, WideText& copy)
{
    copy.block.reset(static_cast<char*>(allocateMemory((length + 1) * sizeof(wchar_t))));
    if (!copy.block.isValid())
        return false;
    wchar_t* target = reinterpret_cast<wchar_t*>(copy.block.get());
    CopyMemory(target, units, length * sizeof(wchar_t));
    target[length] = L'\0';
    copy.length = static_cast<DWORD>(length);
    return true;
}

size_t nameStart(const wchar_t* units, size_t length)
{
    while (length > 0 && units[length - 1] != L'\\' && units[length - 1] != L'/')
        --length;
    return length;
}

// The folder's short form (with its separator) followed by the name.
bool convertWithShortFolder(const wchar_t* units, size_t length, Text& path)
{
    size_t name = nameStart(units, length);
    WideText folder;
    WideText shortFolder;
    Text converted;
    if (name == 0 || !copyUnits(units, name, folder) || !shortForm(folder.units(), shortFolder))
        return false;
    bool exact = convertToCodePage(shortFolder.units(), shortFolder.length, path);
    // Tested in UTF-16: in a double-byte code page a last byte 0x5C may end a character.
    wchar_t last = shortFolder.units()[shortFolder.length - 1];
    if (last != L'\\' && last != L'/' && !path.appendChar('\\'))
        return false;
    exact = convertToCodePage(units + name, length - name, converted) && exact;
    return path.append(converted) && exact;
}

bool convertShort(const wchar_t* units, size_t length, Text& path)
{
    WideText whole;
    WideText shortPath;
    return copyUnits(units, length, whole) && shortForm(whole.units(), shortPath)
        && convertToCodePage(shortPath.units(), shortPath.length, path);
}

}

bool widen(const char* text, WideText& wide)
{
    int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    wide.block.reset(static_cast<char*>(allocateMemory((size > 0 ? size : 1) * sizeof(wchar_t))));
    if (size <= 0 || !wide.block.isValid())
        return false;
    wide.length = static_cast<DWORD>(size - 1);
    return MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<wchar_t*>(wide.block.get()), size) == size;
}

bool convertToCodePage(const wchar_t* units, size_t length, Text& converted)
{
    converted.clear();
    if (length == 0)
        return true;
    // UTF-8 (a manifest's activeCodePage) holds every character; it takes
    // neither WC_NO_BEST_FIT_CHARS nor a substitute, and fails on an unpaired
    // surrogate only when asked to.
    UINT codePage = GetACP();
    bool utf8 = codePage == CP_UTF8;
    DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL substituted = FALSE;
    BOOL* usedSubstitute = utf8 ? nullptr : &substituted;
    const char* substitute = utf8 ? nullptr : "?";
    int count = static_cast<int>(length);
    int size = WideCharToMultiByte(codePage, flags, units, count, nullptr, 0, substitute, usedSubstitute);
    if (size == 0 && utf8) {
        flags = 0;
        substituted = TRUE;
        size = WideCharToMultiByte(codePage, flags, units, count, nullptr, 0, nullptr, nullptr);
    }
    MemoryBlock buffer(static_cast<char*>(allocateMemory(size > 0 ? size : 1)));
    if (size <= 0 || !buffer.isValid())
        return false;
    int got = WideCharToMultiByte(codePage, flags, units, count, buffer.get(), size, substitute,
                                  utf8 ? nullptr : &substituted);
    return got == size && converted.assign(buffer.get(), size) && !substituted;
}

bool codePagePath(const wchar_t* units, size_t length, bool nameMayBeShortened, Text& path)
{
    PathConversions conversions = {};
    Text attempts[3];
    conversions.longExact = convertToCodePage(units, length, attempts[0]);
    if (!conversions.longExact)
        conversions.shortFolderExact = convertWithShortFolder(units, length, attempts[1]);
    if (!conversions.longExact && !conversions.shortFolderExact && nameMayBeShortened)
        conversions.shortExact = convertShort(units, length, attempts[2]);
    switch (choosePathSpelling(conversions, nameMayBeShortened)) {
    case PathSpelling::Long:
        path = static_cast<Text&&>(attempts[0]);
        return true;
    case PathSpelling::ShortFolder:
        path = static_cast<Text&&>(attempts[1]);
        return true;
    case PathSpelling::Short:
        path = static_cast<Text&&>(attempts[2]);
        return true;
    case PathSpelling::None:
        break;
    }
    // The folder's short form, where there is one, shows which name lacks one.
    path = static_cast<Text&&>(attempts[attempts[1].isEmpty() ? 0 : 1]);
    return false;
}
