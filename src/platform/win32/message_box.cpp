#include "platform/message_box.h"

#include <windows.h>

namespace {

// The console flavour of the launcher is the same program with the console
// subsystem in its header: it has a console, and says why on it.
bool isConsoleProgram()
{
    const unsigned char* image = reinterpret_cast<const unsigned char*>(GetModuleHandleA(nullptr));
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    const IMAGE_NT_HEADERS* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
    return headers->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI;
}

// One line end after the text, whether or not the text has it.
void writeToStandardError(const char* text)
{
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    int length = lstrlenA(text);
    WriteFile(error, text, length, &written, nullptr);
    if (length == 0 || text[length - 1] != '\n')
        WriteFile(error, "\n", 1, &written, nullptr);
}

}

namespace platform {

bool messagesShownInBox()
{
    static const bool console = isConsoleProgram();
    return !console;
}

void showErrorBox(WindowHandle owner, const char* text)
{
    if (!messagesShownInBox()) {
        writeToStandardError(text);
        return;
    }
    // The splash window goes by itself once the application shows a window,
    // and a box whose owner is gone would not be shown at all.
    HWND ownerWindow = static_cast<HWND>(owner);
    if (ownerWindow && !IsWindow(ownerWindow))
        ownerWindow = nullptr;
    // No caption: the system shows its own "Error" in the user's language.
    MessageBoxA(ownerWindow, text, nullptr, MB_OK | MB_ICONERROR);
}

void showOnStandardError(const char* text)
{
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    if (error && error != INVALID_HANDLE_VALUE)
        WriteFile(error, text, lstrlenA(text), &written, nullptr);
}

}
