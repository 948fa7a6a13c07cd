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
    return FileHandle(CreateFileW(wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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
    std::string temporary = path + ".brand-" + std::to_string(GetCurrentProcessId()) + ".tmp";
    FileHandle file(CreateFileW(wide(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.isValid()) {
        DWORD error = GetLastError();
        return systemFailure("write", path, error);
    }
    DWORD error = writeAll(file.get(), contents);
    if (error == 0 && !file.close())
        error = GetLastError();
    if (error == 0 && !MoveFileExW(wide(temporary).c_str(), wide(path).c_str(), MOVEFILE_REPLACE_EXISTING))
        error = GetLastError();
    if (error == 0)
        return Done{};
    file.close();
    DeleteFileW(wide(temporary).c_str());
    return systemFailure("write", path, error);
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
