#include "file_system.h"

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

Failure systemFailure(const std::string& what, const std::string& path, DWORD error)
{
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                  text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == '.'))
        text[--length] = '\0';
    return Failure{ "cannot " + what + " " + path + ": " + (length ? text : "error " + std::to_string(error)) };
}

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { close(); }
    HANDLE get() const { return handle_; }
    bool isValid() const { return handle_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE handle)
    {
        close();
        handle_ = handle;
    }
    bool close()
    {
        bool closed = !isValid() || CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

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
        return systemFailure("write", path, error);
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileType(existing.get()) != FILE_TYPE_DISK)
        return Failure{ "cannot write " + path + ": it is a device or a pipe" };
    if (!GetFileInformationByHandle(existing.get(), &information)) {
        DWORD error = GetLastError();
        return systemFailure("write", path, error);
    }
    if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return Failure{ "cannot write " + path + ": it is a symbolic link (name the file it points to)" };
    if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return Failure{ "cannot write " + path + ": it is a directory" };
    return Done{};
}

// The temporary file's name while it exists, for the console control
// handler, which runs on a thread of its own: the lock keeps it from
// deleting the file while the main thread renames it.
SRWLOCK temporaryLock = SRWLOCK_INIT;
const wchar_t* temporaryToRemove = nullptr;

class TemporaryLockHeld {
public:
    TemporaryLockHeld() { AcquireSRWLockExclusive(&temporaryLock); }
    TemporaryLockHeld(const TemporaryLockHeld&) = delete;
    TemporaryLockHeld& operator=(const TemporaryLockHeld&) = delete;
    ~TemporaryLockHeld() { ReleaseSRWLockExclusive(&temporaryLock); }
};

// Ctrl+C, Ctrl+Break, the console closing, logoff, shutdown: the file is
// marked for deletion (it is open with FILE_SHARE_DELETE) and goes when the
// process ends, which the default handler then does.
BOOL WINAPI removeTemporaryOnControlEvent(DWORD)
{
    TemporaryLockHeld held;
    if (temporaryToRemove)
        DeleteFileW(temporaryToRemove);
    return FALSE;
}

// The new contents' file beside the output, under a short name of its own
// (the output's name may already be as long as names can be). Removed unless
// renamed into place, also when a console control event ends the tool.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        file_.close();
        TemporaryLockHeld held;
        if (present_)
            DeleteFileW(name_.c_str());
        temporaryToRemove = nullptr;
    }

    HANDLE handle() const { return file_.get(); }

    // 0, or the error that kept the file from being made.
    DWORD create(const std::string& directory)
    {
        SetConsoleCtrlHandler(removeTemporaryOnControlEvent, TRUE);
        for (int attempt = 0; attempt < 100; ++attempt) {
            name_ = systemPath(directory + ".brand-" + std::to_string(GetCurrentProcessId()) +
                               (attempt ? "-" + std::to_string(attempt) : ""));
            TemporaryLockHeld held;
            HANDLE file = CreateFileW(name_.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            DWORD error = GetLastError();
            if (file == INVALID_HANDLE_VALUE && (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS))
                continue;
            if (file == INVALID_HANDLE_VALUE)
                return error;
            file_.reset(file);
            present_ = true;
            temporaryToRemove = name_.c_str();
            return 0;
        }
        return ERROR_FILE_EXISTS;
    }

    DWORD closeAndRename(const std::string& path)
    {
        if (!file_.close()) {
            DWORD error = GetLastError();
            return error;
        }
        TemporaryLockHeld held;
        if (!MoveFileExW(name_.c_str(), systemPath(path).c_str(), MOVEFILE_REPLACE_EXISTING)) {
            DWORD error = GetLastError();
            return error;
        }
        present_ = false;
        temporaryToRemove = nullptr;
        return 0;
    }

private:
    FileHandle file_{ INVALID_HANDLE_VALUE };
    std::wstring name_;
    bool present_ = false;
};

}  // namespace

std::vector<std::string> programArguments(int, char**)
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; arguments && i < count; ++i)
        result.push_back(utf8(arguments[i]));
    LocalFree(arguments);
    return result;
}

Outcome<Bytes> readWholeFile(const std::string& path)
{
    FileHandle file = openExisting(path, GENERIC_READ);
    LARGE_INTEGER size;
    if (!file.isValid() || !GetFileSizeEx(file.get(), &size)) {
        DWORD error = GetLastError();
        return systemFailure("read", path, error);
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return Failure{ "cannot read " + path + ": not a file" };
    Bytes contents(static_cast<size_t>(size.QuadPart));
    for (size_t done = 0; done < contents.size();) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(contents.size() - done, 1u << 30)), count = 0;
        if (!ReadFile(file.get(), contents.data() + done, chunk, &count, nullptr) || count == 0) {
            DWORD error = GetLastError();
            return systemFailure("read", path, error);
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
    TemporaryFile temporary;
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
        return systemFailure("write", path, error);
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
