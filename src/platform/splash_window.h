#pragma once
// The splash window's native part: a borderless topmost window showing a
// bitmap file, on a thread of its own that answers its messages. Null when the
// platform shows no splash window.
#include "common/unique_handle.h"
#include "platform/window_handle.h"

class SplashScreenWindow;

namespace platform {

SplashScreenWindow* newSplashScreenWindow();
// Shows the window and returns once it is painted; null when none was made.
// It goes by itself when the process shows a window of its own (not a tool
// window, not a message box), but not before the minimum time.
WindowHandle showSplashWindow(SplashScreenWindow* splash, const char* bitmapPath, bool shadow,
                              unsigned long minimumMilliseconds);
// Closes the window (once the minimum time is over and no message box it owns
// is open) and waits until it has gone.
void deleteSplashScreenWindow(SplashScreenWindow* splash);

// Closes the window, then deletes the object, when the owner goes.
using SplashWindowOwner = UniqueHandle<SplashScreenWindow*, deleteSplashScreenWindow>;

}
