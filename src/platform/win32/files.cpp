#include "platform/files.h"

#include "common/path_spelling.h"
#include "common/text_scan.h"
#include "platform/process.h"
#include "platform/settings_reader.h"
#include "platform/user_cache.h"
#include "platform/win32/code_page.h"
#include "platform/win32/handles.h"

#include <string.h>

namespace platform {

const char kPathSeparator = '\\';
const char kPathListSeparator = ';';
const char kExecutableExtension[] = ".exe";

const int kUnrepresentableNameError = ERROR_NO_UNICODE_TRANSLATION;

// The path comes in UTF-16: GetModuleFileNameA would give a best-fit
// look-alike of a folder outside the code page, whose settings file and
// runtime could be anybody's. Its folder's short name stands in for it.
bool executablePath(Text& path, int& errorCode)
{
    WideText units;
    DWORD error = 0;
    bool filled = fillWideText(units, [&](wchar_t* buffer, DWORD size) {
        DWORD got = GetModuleFileNameW(nullptr, buffer, size);
        error = GetLastError();
        return got;
    });
    if (!filled || units.length == 0) {
        errorCode = static_cast<int>(!filled ? ERROR_NOT_ENOUGH_MEMORY : error);
        return false;
    }
    if (codePagePath(units.units(), units.length, false, path))
        return true;
    bool named = pathUpToNameAt(path, findCharacter(path, '?'), kPathSeparator, path);
    errorCode = named ? kUnrepresentableNameError : static_cast<int>(ERROR_NOT_ENOUGH_MEMORY);
    return false;
}

size_t firstUndecodableByte(const Text& text)
{
    return text.length();
}

size_t readProfileString(const char* file, const char* section, const char* key,
                         char* buffer, size_t size)
{
    DWORD room = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(size);
    return GetPrivateProfileStringA(section, key, "", buffer, room, file);
}

namespace {

bool isProfileBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// One entry of a section as GetPrivateProfileSectionA gives it, "name=value"
// or the name alone, into a name and the value read as for one key.
bool appendProfileEntry(const char* entry, size_t length, TextList& names, TextList& values)
{
    const char* end = entry + length;
    const char* equals = static_cast<const char*>(memchr(entry, '=', length));
    const char* nameEnd = equals ? equals : end;
    const char* value = equals ? equals + 1 : end;
    while (nameEnd > entry && isProfileBlank(nameEnd[-1]))
        --nameEnd;
    while (value < end && isProfileBlank(*value))
        ++value;
    while (end > value && isProfileBlank(end[-1]))
        --end;
    if (end - value >= 2 && (*value == '"' || *value == '\'') && end[-1] == *value) {
        ++value;
        --end;
    }
    return names.append(entry, static_cast<size_t>(nameEnd - entry))
        && values.append(value, static_cast<size_t>(end - value));
}

}

// The reader gives size - 2 for a section it had to cut, and ends the entries
// with an empty one. Comment lines, which some versions of Windows give too,
// are left out.
bool readProfileSection(const char* file, const char* section, TextList& names, TextList& values)
{
    for (DWORD size = 4096;; size *= 2) {
        MemoryBlock entries(static_cast<char*>(allocateMemory(size)));
        if (!entries.isValid())
            return false;
        if (GetPrivateProfileSectionA(section, entries.get(), size, file) + 2 >= size && size < 0x40000000)
            continue;
        for (const char* entry = entries.get(); *entry; entry += lstrlenA(entry) + 1)
            if (*entry != ';' && !appendProfileEntry(entry, lstrlenA(entry), names, values))
                return false;
        return true;
    }
}

// The reader answers a key it does not find with the default: of two
// defaults, a value it finds can be at most one.
bool profileValueGiven(const char* file, const char* section, const char* key)
{
    const char fallbacks[2][2] = { "\x01", "\x02" };
    for (const char* fallback : fallbacks) {
        char answer[4];
        if (GetPrivateProfileStringA(section, key, fallback, answer, sizeof answer, file) != 1 || answer[0] != *fallback)
            return true;
    }
    return false;
}

bool fileExists(const char* path)
{
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA(path, &found));
    return search.isValid();
}

bool currentDirectory(Text& directory)
{
    WideText units;
    bool filled = fillWideText(units, [](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
    return filled && units.length > 0 && codePagePath(units.units(), units.length, true, directory);
}

bool changeDirectory(const char* path)
{
    return SetCurrentDirectoryA(path) != 0;
}

// "\\server\share", "\\folder" and "C:\folder" (and "C:folder", which the
// current directory of another drive decides) are not anchored.
bool isAbsolutePath(const char* path)
{
    return path[0] == '\\' || path[0] == '/' || (path[0] && path[1] == ':');
}

bool nameExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool isFileSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool listWildcardFolder(const char* wildcard, TextList& names)
{
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA(wildcard, &found));
    if (!search.isValid())
        return false;
    do {
        if (!names.append(found.cFileName))
            return false;
    } while (FindNextFileA(search.get(), &found));
    return true;
}

bool isDirectory(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool samePath(const char* first, const char* second)
{
    return lstrcmpiA(first, second) == 0;
}

bool readFileStart(const char* path, size_t limit, Text& contents)
{
    return readFilePart(path, 0, limit, contents);
}

bool readFilePart(const char* path, unsigned long long offset, size_t limit, Text& contents)
{
    File file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file.isValid() || GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size))
        return false;
    unsigned long long length = static_cast<unsigned long long>(size.QuadPart);
    unsigned long long left = offset < length ? length - offset : 0;
    DWORD wanted = static_cast<DWORD>(left < limit ? left : limit);
    LARGE_INTEGER start;
    start.QuadPart = static_cast<LONGLONG>(offset < length ? offset : length);
    DWORD got = 0;
    MemoryBlock buffer(static_cast<char*>(allocateMemory(wanted)));
    return buffer.isValid() && SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)
        && ReadFile(file.get(), buffer.get(), wanted, &got, nullptr) && contents.assign(buffer.get(), got);
}

FileReading readFileInRuns(const char* path, unsigned long long largest, FileRunReceiver receive, void* context)
{
    File file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file.isValid() || GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size))
        return FileReading::CannotRead;
    if (static_cast<unsigned long long>(size.QuadPart) > largest)
        return FileReading::TooLarge;
    const DWORD kRunSize = 65536;
    MemoryBlock run(static_cast<char*>(allocateMemory(kRunSize)));
    if (!run.isValid())
        return FileReading::Stopped;
    for (unsigned long long total = 0;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), run.get(), kRunSize, &got, nullptr))
            return FileReading::CannotRead;
        if (got == 0)
            return FileReading::Done;
        total += got;
        if (total > largest)
            return FileReading::TooLarge;
        if (!receive(run.get(), got, context))
            return FileReading::Stopped;
    }
}

// GetEnvironmentVariableA would give a best-fit look-alike of a value outside
// the code page. Such a value counts as not set, unless it names a path with
// a short form.
bool environmentVariable(const char* name, Text& value)
{
    WideText wideName;
    WideText units;
    DWORD error = 0;
    bool filled = widen(name, wideName) && fillWideText(units, [&](wchar_t* buffer, DWORD size) {
        SetLastError(ERROR_SUCCESS);
        DWORD got = GetEnvironmentVariableW(wideName.units(), buffer, size);
        error = GetLastError();
        return got;
    });
    // A variable set to nothing gives 0 too, without the error.
    if (!filled || (units.length == 0 && error == ERROR_ENVVAR_NOT_FOUND))
        return false;
    return codePagePath(units.units(), units.length, true, value);
}

// The runtime reads the environment through GetEnvironmentStringsW (Java's
// System.getenv), or copies it when its C runtime starts, after this.
bool setEnvironmentVariable(const char* name, const char* value)
{
    if (SetEnvironmentVariableA(name, value))
        return true;
    DWORD error = GetLastError();
    // Removing what is not there leaves it not there.
    return !value && error == ERROR_ENVVAR_NOT_FOUND;
}

bool appendToFile(const char* path, const char* bytes, size_t length)
{
    OpenFile file = openForAppending(path);
    return file.isValid() && appendToOpenFile(file.get(), bytes, length);
}

void closeFile(FileHandle file)
{
    CloseHandle(file);
}

// Another process may read, write, rename or delete the file while it is
// open, as it could between the writes of a file opened for each.
OpenFile openForAppending(const char* path)
{
    OpenFile file(CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    // A pipe whose reader does not read blocks the writer for good.
    DWORD type = file.isValid() ? GetFileType(file.get()) : FILE_TYPE_UNKNOWN;
    if (type != FILE_TYPE_DISK && type != FILE_TYPE_CHAR)
        file.reset();
    return file;
}

bool appendToOpenFile(FileHandle file, const char* bytes, size_t length)
{
    DWORD written = 0;
    return WriteFile(file, bytes, static_cast<DWORD>(length), &written, nullptr) && written == length;
}

// CREATE_NEW fails where a link's own name is taken, dangling or not.
bool createNewFile(const char* path, const char* bytes, size_t length)
{
    File file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    DWORD written = 0;
    return file.isValid() && WriteFile(file.get(), bytes, static_cast<DWORD>(length), &written, nullptr)
        && written == length;
}

bool userCacheDirectory(Text& directory)
{
    return environmentVariable("LOCALAPPDATA", directory) && !directory.isEmpty();
}

bool canReplaceFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    DWORD error = GetLastError();
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return error == ERROR_FILE_NOT_FOUND;
    return !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
}

bool fileStamp(const char* path, FileStamp& stamp)
{
    // No access asked: the stamp of a file another process holds open is still had.
    File file(CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!file.isValid() || !GetFileInformationByHandle(file.get(), &information))
        return false;
    auto join = [](DWORD high, DWORD low) { return (static_cast<unsigned long long>(high) << 32) | low; };
    stamp.size = join(information.nFileSizeHigh, information.nFileSizeLow);
    stamp.written = join(information.ftLastWriteTime.dwHighDateTime, information.ftLastWriteTime.dwLowDateTime);
    stamp.changed = join(information.ftCreationTime.dwHighDateTime, information.ftCreationTime.dwLowDateTime);
    stamp.serial = join(information.nFileIndexHigh, information.nFileIndexLow);
    stamp.volume = information.dwVolumeSerialNumber;
    return true;
}

bool freeSpace(const char* directory, unsigned long long& bytes)
{
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(directory, &available, nullptr, nullptr))
        return false;
    bytes = available.QuadPart;
    return true;
}

bool removeFile(const char* path)
{
    return DeleteFileA(path) != 0;
}

bool makeFolder(const char* path)
{
    return CreateDirectoryA(path, nullptr) != 0;
}

bool renameFile(const char* from, const char* to)
{
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}

// NTFS compares names by its table of upper-case letters, which the
// invariant locale's upper case follows.
bool comparablePath(const Text& path, Text& compared)
{
    WideText wide;
    compared.clear();
    if (!widen(path.chars(), wide))
        return false;
    if (wide.length == 0)
        return true;
    int length = static_cast<int>(wide.length);
    MemoryBlock upper(static_cast<char*>(allocateMemory(wide.length * sizeof(wchar_t))));
    wchar_t* units = reinterpret_cast<wchar_t*>(upper.get());
    if (!units || LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide.units(), length, units, length) != length)
        return false;
    for (int i = 0; i < length; ++i)
        if (units[i] == L'/')
            units[i] = L'\\';
    int size = WideCharToMultiByte(CP_UTF8, 0, units, length, nullptr, 0, nullptr, nullptr);
    MemoryBlock bytes(static_cast<char*>(allocateMemory(size > 0 ? size : 1)));
    return size > 0 && bytes.isValid()
        && WideCharToMultiByte(CP_UTF8, 0, units, length, bytes.get(), size, nullptr, nullptr) == size
        && compared.assign(bytes.get(), static_cast<size_t>(size));
}

bool currentDirectory(Text& directory, Utf16Text& units)
{
    WideText wide;
    bool filled = fillWideText(wide, [](wchar_t* buffer, DWORD size) {
        return GetCurrentDirectoryW(size, buffer);
    });
    units = Utf16Text();
    if (!filled || wide.length == 0)
        return false;
    bool exact = convertToCodePage(wide.units(), wide.length, directory);
    return (exact || !directory.isEmpty())
        && (exact || units.assign(reinterpret_cast<const char16_t*>(wide.units()), wide.length));
}

}
