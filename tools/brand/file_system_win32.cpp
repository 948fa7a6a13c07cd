#include "file_system.h"
#include "temporary_file.h"

#include "common/unique_handle.h"

#include <windows.h>
#include <shellapi.h>

namespace {

std::wstring wide(const std::string& utf8)
{
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring text(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1)
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &text[0], length);
    return text;
}

std::string utf8(const wchar_t* text)
{
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(length > 0 ? length - 1 : 0, '\0');
    if (length > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], length, nullptr, nullptr);
    return result;
}

// Names past MAX_PATH reach the system only as \\?\ paths, which are
// taken as they are: made absolute first, which also turns '/' into '\\'.
std::wstring systemPath(const std::string& utf8)
{
    std::wstring path = wide(utf8);
    if (path.size() < MAX_PATH - 12 || path.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    DWORD written = length ? GetFullPathNameW(path.c_str(), length, &full[0], nullptr) : 0;
    if (written == 0 || written >= length)
        return path;
    full.resize(written);
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

Refusal systemRefusal(const std::string& what, const std::string& path, DWORD error)
{
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                  text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == '.'))
        text[--length] = '\0';
    return Refusal{ "cannot " + what + " " + path + ": " + (length ? text : "error " + std::to_string(error)) };
}

using FileHandle = UniqueHandle<HANDLE, CloseHandle, -1>;
// CommandLineToArgvW's list, one allocation.
using ArgumentList = UniqueHandle<wchar_t**, LocalFree>;

FileHandle openExisting(const std::string& path, DWORD access)
{
    return FileHandle(CreateFileW(systemPath(path).c_str(), access,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

// 0, or the error that stopped the writing.
DWORD writeAll(HANDLE file, const Bytes& contents)
{
    for (size_t done = 0; done < contents.size();) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(contents.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, contents.data() + done, chunk, &written, nullptr))
            return GetLastError();
        done += written;
    }
    return 0;
}

// Only a regular file is replaced: not a directory, a device (NUL, CON) or
// a pipe, nor a symbolic link or junction, which is refused rather than
// followed or replaced, as either would write somewhere the name does not say.
Status checkOutputPlace(const std::string& path)
{
    FileHandle existing(CreateFileW(systemPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                    nullptr));
    if (!existing.isValid()) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return Done{};
        return systemRefusal("write", path, error);
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileType(existing.get()) != FILE_TYPE_DISK)
        return Refusal{ "cannot write " + path + ": it is a device or a pipe" };
    if (!GetFileInformationByHandle(existing.get(), &information)) {
        DWORD error = GetLastError();
        return systemRefusal("write", path, error);
    }
    if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return Refusal{ "cannot write " + path + ": it is a symbolic link (name the file it points to)" };
    if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return Refusal{ "cannot write " + path + ": it is a directory" };
    return Done{};
}

// The temporary file's name while it exists, for the console control
// handler, which takes no context and runs on a thread of its own: the lock
// keeps it from deleting the file while the main thread renames it.
struct TemporaryToRemove {
    SRWLOCK lock;
    const wchar_t* name;
};
TemporaryToRemove temporaryToRemove = { SRWLOCK_INIT, nullptr };

class TemporaryLockHeld {
public:
    TemporaryLockHeld() { AcquireSRWLockExclusive(&temporaryToRemove.lock); }
    TemporaryLockHeld(const TemporaryLockHeld&) = delete;
    TemporaryLockHeld& operator=(const TemporaryLockHeld&) = delete;
    ~TemporaryLockHeld() { ReleaseSRWLockExclusive(&temporaryToRemove.lock); }
};

// Ctrl+C, Ctrl+Break, the console closing, logoff, shutdown: the file is
// marked for deletion (it is open with FILE_SHARE_DELETE) and goes when the
// process ends, which the default handler then does.
BOOL WINAPI removeTemporaryOnControlEvent(DWORD)
{
    TemporaryLockHeld held;
    if (temporaryToRemove.name)
        DeleteFileW(temporaryToRemove.name);
    return FALSE;
}

// The calls TemporaryFile makes on this system.
struct Win32Files {
    using Name = std::wstring;
    using Error = DWORD;
    using File = FileHandle;
    using EndingHeld = TemporaryLockHeld;
    static constexpr DWORD kAlreadyThere = ERROR_FILE_EXISTS;

    static void handleEnding() { SetConsoleCtrlHandler(removeTemporaryOnControlEvent, TRUE); }
    static void removeAtEnding(const Name* name) { temporaryToRemove.name = name ? name->c_str() : nullptr; }
    static Name nameOf(const std::string& path) { return systemPath(path); }
    static DWORD processId() { return GetCurrentProcessId(); }
    static bool alreadyThere(DWORD error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }
    static void remove(const Name& name) { DeleteFileW(name.c_str()); }

    static DWORD createNew(const Name& name, File& file)
    {
        HANDLE created = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD error = GetLastError();
        file.reset(created);
        return file.isValid() ? 0 : error;
    }

    static DWORD close(File& file)
    {
        if (!file.isValid() || CloseHandle(file.release()))
            return 0;
        DWORD error = GetLastError();
        return error;
    }

    static DWORD rename(const Name& name, const std::string& path)
    {
        if (MoveFileExW(name.c_str(), systemPath(path).c_str(), MOVEFILE_REPLACE_EXISTING))
            return 0;
        DWORD error = GetLastError();
        return error;
    }
};

}  // namespace

std::vector<std::string> programArguments(int, char**)
{
    int count = 0;
    ArgumentList arguments(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> result;
    for (int i = 1; arguments.isValid() && i < count; ++i)
        result.push_back(utf8(arguments.get()[i]));
    return result;
}

Outcome<Bytes> readWholeFile(const std::string& path)
{
    FileHandle file = openExisting(path, GENERIC_READ);
    LARGE_INTEGER size;
    if (!file.isValid() || !GetFileSizeEx(file.get(), &size)) {
        DWORD error = GetLastError();
        return systemRefusal("read", path, error);
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return Refusal{ "cannot read " + path + ": not a file" };
    Bytes contents(static_cast<size_t>(size.QuadPart));
    for (size_t done = 0; done < contents.size();) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(contents.size() - done, 1u << 30)), count = 0;
        if (!ReadFile(file.get(), contents.data() + done, chunk, &count, nullptr) || count == 0) {
            DWORD error = GetLastError();
            return systemRefusal("read", path, error);
        }
        done += count;
    }
    return contents;
}

Status replaceFile(const std::string& path, const Bytes& contents)
{
    Status place = checkOutputPlace(path);
    if (!place)
        return place;
    TemporaryFile<Win32Files> temporary;
    DWORD error = temporary.create(path.substr(0, path.find_last_of("\\/:") + 1));
    if (error == 0)
        error = writeAll(temporary.handle(), contents);
    // On disk before it takes the name: a crash then leaves the old file or
    // the whole new one.
    if (error == 0 && !FlushFileBuffers(temporary.handle()))
        error = GetLastError();
    if (error == 0)
        error = temporary.closeAndRename(path);
    if (error != 0)
        return systemRefusal("write", path, error);
    return Done{};
}

bool sameFile(const std::string& first, const std::string& second)
{
    FileHandle a = openExisting(first, 0), b = openExisting(second, 0);
    BY_HANDLE_FILE_INFORMATION infoA, infoB;
    return a.isValid() && b.isValid() && GetFileInformationByHandle(a.get(), &infoA) &&
           GetFileInformationByHandle(b.get(), &infoB) && infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
}

std::string fileNameOf(const std::string& path) { return path.substr(path.find_last_of("\\/:") + 1); }
