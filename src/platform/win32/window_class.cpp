#include "platform/win32/window_class.h"

#include "platform/win32/framework_state.h"

namespace {

// The object whose window is being created: its first messages (WM_NCCREATE
// and others) arrive before CreateWindowExA has returned the handle.
const WindowRoute* routeBeingCreated = nullptr;

LRESULT CALLBACK routeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* route = reinterpret_cast<const WindowRoute*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!route && routeBeingCreated) {
        route = routeBeingCreated;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(route));
    }
    if (!route)
        return DefWindowProcA(window, message, wParam, lParam);
    return route->handle(route->object, window, message, wParam, lParam);
}

}

bool registerWindowClass(WNDCLASSEXA& windowClass)
{
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = routeMessage;
    windowClass.hInstance = programInstance();
    WNDCLASSEXA known = {};
    known.cbSize = sizeof known;
    if (GetClassInfoExA(windowClass.hInstance, windowClass.lpszClassName, &known))
        return true;
    if (!RegisterClassExA(&windowClass))
        return false;
    rememberRegisteredClass(windowClass.lpszClassName);
    return true;
}

HWND createRoutedWindow(const WindowRoute& route, DWORD extendedStyle, const char* className,
                        DWORD style, int left, int top, int width, int height)
{
    routeBeingCreated = &route;
    HWND window = CreateWindowExA(extendedStyle, className, nullptr, style, left, top, width, height,
                                  nullptr, nullptr, programInstance(), nullptr);
    routeBeingCreated = nullptr;
    return window;
}
