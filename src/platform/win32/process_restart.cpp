#include "platform/process.h"

#include "platform/win32/code_page.h"
#include "platform/win32/handles.h"

namespace platform {

bool startExecutableAgain(const char*, const char*& call, int& code)
{
    WideText executable;
    call = "GetModuleFileName";
    bool named = fillWideText(executable, [](wchar_t* buffer, DWORD size) {
        return GetModuleFileNameW(nullptr, buffer, size);
    });
    // CreateProcessW may write to the command line it is given.
    const wchar_t* line = GetCommandLineW();
    size_t length = static_cast<size_t>(lstrlenW(line)) + 1;
    MemoryBlock commandLine(static_cast<char*>(allocateMemory(length * sizeof(wchar_t))));
    if (!named || executable.length == 0 || !commandLine.isValid()) {
        code = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    CopyMemory(commandLine.get(), line, length * sizeof(wchar_t));
    STARTUPINFOW given = {};
    given.cb = sizeof given;
    GetStartupInfoW(&given);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = given.dwFlags & STARTF_USESHOWWINDOW;
    startup.wShowWindow = given.wShowWindow;
    PROCESS_INFORMATION started = {};
    call = "CreateProcess";
    if (!CreateProcessW(executable.units(), reinterpret_cast<wchar_t*>(commandLine.get()), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &started)) {
        code = static_cast<int>(GetLastError());
        return false;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

void endProcess(int code)
{
    ExitProcess(static_cast<UINT>(code));
}

}
