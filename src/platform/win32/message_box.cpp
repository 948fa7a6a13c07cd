#include "platform/platform.h"

#include <windows.h>

namespace platform {

void showErrorBox(WindowHandle owner, const char* text)
{
    // No caption: the system shows its own "Error" in the user's language.
    MessageBoxA(static_cast<HWND>(owner), text, nullptr, MB_OK | MB_ICONERROR);
}

}
