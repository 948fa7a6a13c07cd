#include "platform/platform.h"

#include "platform/win32/bitmap_loading.h"
#include "platform/win32/gdi_objects.h"
#include "platform/win32/window_class.h"

#include <new>

namespace {

const char kClassName[] = "SplashScreenWindow";
// CS_DROPSHADOW is not in every SDK's headers for older targets.
const UINT kDropShadow = 0x00020000;
const UINT kClassStyle = CS_DBLCLKS | CS_SAVEBITS | kDropShadow;

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

}

// A borderless, topmost window of the bitmap's size in the middle of the
// screen's work area, painting the bitmap and nothing else.
class SplashScreenWindow {
public:
    SplashScreenWindow() : route_(routeTo(*this)) {}
    SplashScreenWindow(const SplashScreenWindow&) = delete;
    SplashScreenWindow& operator=(const SplashScreenWindow&) = delete;
    ~SplashScreenWindow()
    {
        if (windowHandle)
            DestroyWindow(windowHandle);
    }

    HWND createWindow(const char* bitmapPath, bool shadow)
    {
        bitmap.reset(loadCheckedBitmapFile(bitmapPath));
        // A bitmap that cannot be loaded gives no window at all: an empty
        // topmost window of no defined size would only be in the way.
        int width = 0;
        int height = 0;
        if (!bitmapSize(bitmap.get(), width, height) || !registerSplashClass(shadow))
            return nullptr;
        int left = (GetSystemMetrics(SM_CXFULLSCREEN) - width) / 2;
        int top = (GetSystemMetrics(SM_CYFULLSCREEN) - height) / 2;
        windowHandle = createRoutedWindow(route_, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, WS_POPUP,
                                          left, top, width, height);
        return windowHandle;
    }

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_PAINT:
            paint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1; // the bitmap covers the whole window
        case WM_NCDESTROY:
            windowHandle = nullptr;
            break;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND windowHandle = nullptr;
    Bitmap bitmap;

private:
    void paint(HWND window)
    {
        PaintContext target(window);
        MemoryContext source(CreateCompatibleDC(target.handle()));
        int width = 0;
        int height = 0;
        if (!source.isValid() || !bitmapSize(bitmap.get(), width, height))
            return;
        SelectedObject selected(source.get(), bitmap.get());
        BitBlt(target.handle(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
    }

    WindowRoute route_;
};

namespace platform {

SplashScreenWindow* newSplashScreenWindow()
{
    return new (std::nothrow) SplashScreenWindow();
}

WindowHandle createSplashWindow(SplashScreenWindow* splash, const char* bitmapPath, bool shadow)
{
    return splash->createWindow(bitmapPath, shadow);
}

void showSplashWindow(WindowHandle window)
{
    if (!window)
        return;
    ShowWindow(static_cast<HWND>(window), SW_SHOWNORMAL);
    UpdateWindow(static_cast<HWND>(window));
}

void deleteSplashScreenWindow(SplashScreenWindow* splash)
{
    delete splash;
}

}
