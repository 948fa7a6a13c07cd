#include "platform/splash_window.h"

#include "platform/win32/bitmap_loading.h"
#include "platform/win32/gdi_objects.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_class.h"

#include <new>

namespace {

const char kClassName[] = "SplashScreenWindow";
const char kMessageBoxClass[] = "#32770";
// CS_DROPSHADOW is not in every SDK's headers for older targets.
const UINT kDropShadow = 0x00020000;
const UINT kClassStyle = CS_DBLCLKS | CS_SAVEBITS | kDropShadow;
// Posted to the splash's thread (not its window, which may be gone already):
// the launch wants the splash to go.
const UINT kCloseRequest = WM_APP + 1;
// Posted to the window: try to close again, once the call that allowed it is over.
const UINT kCloseAgain = WM_APP + 2;
const UINT_PTR kMinimumTimeTimer = 1;
// How often the splash looks for the application's first window.
const UINT_PTR kWatchTimer = 2;
const UINT kWatchInterval = 20;

bool bitmapSize(HBITMAP bitmap, int& width, int& height)
{
    BITMAP info;
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return false;
    width = info.bmWidth;
    height = info.bmHeight;
    return true;
}

bool registerSplashClass(bool shadow)
{
    WNDCLASSEXA windowClass = {};
    windowClass.style = shadow ? kClassStyle : kClassStyle & ~kDropShadow;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (registerWindowClass(windowClass))
        return true;
    // Systems that refuse the drop shadow still get the window without it.
    if (!shadow)
        return false;
    windowClass.style = kClassStyle & ~kDropShadow;
    return registerWindowClass(windowClass);
}

// The application shows itself with a visible top-level window of this
// process that is neither a tool window nor a message box (the launch's own
// failure boxes are owned by the splash and must not end it).
struct WindowSearch {
    HWND splash;
    bool found;
};

BOOL CALLBACK findApplicationWindow(HWND window, LPARAM searchAddress)
{
    auto* search = reinterpret_cast<WindowSearch*>(searchAddress);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    // Windows names a console window after the program it was made for.
    if (process != GetCurrentProcessId() || window == search->splash || window == GetConsoleWindow()
        || !IsWindowVisible(window))
        return TRUE;
    LONG style = GetWindowLongA(window, GWL_STYLE);
    LONG extendedStyle = GetWindowLongA(window, GWL_EXSTYLE);
    if ((style & WS_CHILD) || (extendedStyle & WS_EX_TOOLWINDOW))
        return TRUE;
    char className[sizeof kMessageBoxClass + 1] = "";
    GetClassNameA(window, className, sizeof className);
    search->found = lstrcmpA(className, kMessageBoxClass) != 0;
    return !search->found;
}

bool applicationWindowShown(HWND splash)
{
    WindowSearch search = { splash, false };
    EnumWindows(findApplicationWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}

// A borderless, topmost window of the bitmap's size in the middle of the
// screen's work area, painting the bitmap and nothing else. It lives on a
// thread of its own that answers its messages while the launcher's thread is
// busy (creating the machine, running main), so that it never shows as not
// responding and never holds up a broadcast. It goes when the application
// shows a window of its own, or when the launch asks, but not before the
// minimum time, nor while a message box it owns is open.
class SplashScreenWindow {
public:
    SplashScreenWindow() : route_(routeTo(*this)) {}
    SplashScreenWindow(const SplashScreenWindow&) = delete;
    SplashScreenWindow& operator=(const SplashScreenWindow&) = delete;

    // Asks the thread to close the window and waits until it has.
    ~SplashScreenWindow()
    {
        if (!thread_.isValid())
            return;
        PostThreadMessageA(threadId_, kCloseRequest, 0, 0);
        // A sent message from the splash's thread (while the windows of the
        // two threads are tied by a message box) must not wait on this one.
        HANDLE thread = thread_.get();
        while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }

    // Starts the thread and returns once the window is shown and painted.
    HWND show(const char* bitmapPath, bool shadow, unsigned long minimumMilliseconds)
    {
        bitmapPath_ = bitmapPath;
        shadow_ = shadow;
        minimum_ = minimumMilliseconds;
        KernelObject ready(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        if (!ready.isValid())
            return nullptr;
        ready_ = ready.get();
        thread_.reset(CreateThread(nullptr, 0, runThread, this, 0, &threadId_));
        if (!thread_.isValid())
            return nullptr;
        HANDLE waited[] = { ready.get(), thread_.get() };
        WaitForMultipleObjects(2, waited, FALSE, INFINITE);
        return shownWindow_;
    }

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_PAINT:
            paint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1; // the bitmap covers the whole window
        case WM_TIMER:
            if (wParam == kWatchTimer && !applicationWindowShown(window))
                return 0;
            KillTimer(window, wParam);
            if (wParam == kWatchTimer)
                closeWanted_ = true;
            closeWhenAllowed();
            return 0;
        case WM_ENABLE:
            // Re-enabled as the message box it owned closes: close later, not
            // inside the box's own closing.
            if (wParam && closeWanted_)
                PostMessageA(window, kCloseAgain, 0, 0);
            break;
        case kCloseAgain:
            closeWhenAllowed();
            return 0;
        case WM_NCDESTROY:
            windowHandle_ = nullptr;
            PostQuitMessage(0);
            break;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

private:
    static DWORD WINAPI runThread(void* splash)
    {
        static_cast<SplashScreenWindow*>(splash)->run();
        return 0;
    }

    void run()
    {
        HWND window = createWindow();
        if (window) {
            ShowWindow(window, SW_SHOWNORMAL);
            UpdateWindow(window);
            shownAt_ = GetTickCount();
            // A look at the process's windows now and then, rather than a
            // WinEvent hook for EVENT_OBJECT_SHOW: under Wine that hook never
            // heard of the application's windows.
            SetTimer(window, kWatchTimer, kWatchInterval, nullptr);
        }
        shownWindow_ = window;
        SetEvent(ready_);
        if (!window)
            return;
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (!message.hwnd && message.message == kCloseRequest)
                close();
            else
                DispatchMessageA(&message);
        }
    }

    HWND createWindow()
    {
        bitmap_.reset(loadCheckedBitmapFile(bitmapPath_));
        // A bitmap that cannot be loaded gives no window at all: an empty
        // topmost window of no defined size would only be in the way.
        int width = 0;
        int height = 0;
        if (!bitmapSize(bitmap_.get(), width, height) || !registerSplashClass(shadow_))
            return nullptr;
        int left = (GetSystemMetrics(SM_CXFULLSCREEN) - width) / 2;
        int top = (GetSystemMetrics(SM_CYFULLSCREEN) - height) / 2;
        windowHandle_ = createRoutedWindow(route_, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, WS_POPUP,
                                           left, top, width, height);
        return windowHandle_;
    }

    void close()
    {
        closeWanted_ = true;
        closeWhenAllowed();
    }

    void closeWhenAllowed()
    {
        if (!windowHandle_ || !closeWanted_)
            return;
        DWORD shownFor = GetTickCount() - shownAt_;
        if (shownFor < minimum_) {
            SetTimer(windowHandle_, kMinimumTimeTimer, minimum_ - shownFor, nullptr);
            return;
        }
        // A message box it owns is open: it closes when the box has gone.
        if (!IsWindowEnabled(windowHandle_))
            return;
        DestroyWindow(windowHandle_);
    }

    void paint(HWND window)
    {
        PaintContext target(window);
        MemoryContext source(CreateCompatibleDC(target.handle()));
        int width = 0;
        int height = 0;
        if (!source.isValid() || !bitmapSize(bitmap_.get(), width, height))
            return;
        SelectedObject selected(source.get(), bitmap_.get());
        BitBlt(target.handle(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
    }

    WindowRoute route_;
    // Written by the launcher's thread before the splash's thread starts.
    const char* bitmapPath_ = nullptr;
    bool shadow_ = false;
    DWORD minimum_ = 0;
    HANDLE ready_ = nullptr;
    // Handed back to the launcher's thread once, when ready_ is set.
    HWND shownWindow_ = nullptr;
    KernelObject thread_;
    DWORD threadId_ = 0;
    // The splash's thread's own.
    HWND windowHandle_ = nullptr;
    Bitmap bitmap_;
    DWORD shownAt_ = 0;
    bool closeWanted_ = false;
};

namespace platform {

SplashScreenWindow* newSplashScreenWindow()
{
    return new (std::nothrow) SplashScreenWindow();
}

WindowHandle showSplashWindow(SplashScreenWindow* splash, const char* bitmapPath, bool shadow,
                              unsigned long minimumMilliseconds)
{
    return splash->show(bitmapPath, shadow, minimumMilliseconds);
}

void deleteSplashScreenWindow(SplashScreenWindow* splash)
{
    delete splash;
}

}
