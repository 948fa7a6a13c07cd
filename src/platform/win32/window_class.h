#pragma once
// A minimal window framework: registers a window class whose window
// procedure hands every message to the C++ object that owns the window.
#include <windows.h>

// Where a window's messages go: an object and its handleMessage. It must
// live as long as the window does.
struct WindowRoute {
    void* object;
    LRESULT (*handle)(void* object, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

template <typename Handler>
WindowRoute routeTo(Handler& handler)
{
    return { &handler, [](void* object, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
                return static_cast<Handler*>(object)->handleMessage(window, message, wParam, lParam);
            } };
}

// Registers the class unless the program already knows one of that name;
// true when the class is there to be used.
bool registerWindowClass(WNDCLASSEXA& windowClass);

// CreateWindowExA for a window whose messages go along the route; the
// routing needs no creation data, so lpParam stays free (and null).
HWND createRoutedWindow(const WindowRoute& route, DWORD extendedStyle, const char* className,
                        DWORD style, int left, int top, int width, int height);
