#pragma once
// The optional splash: a BMP file in a window of the launcher's own, shown
// from the start of the launch until the application shows a window, main
// returns or the launch fails, and while shown the owner of every message
// box; or a GIF, PNG or JPEG file shown through the runtime's own splash
// library (splash/runtime_splash.h), which java.awt.SplashScreen controls.
#include "common/text.h"
#include "config/display_settings.h"
#include "platform/splash_window.h"
#include "platform/window_handle.h"

#include <stddef.h>

struct SplashScreen {
    // The settings name a GIF, PNG or JPEG file, for the runtime's splash library.
    bool runtimeShowsImage = false;
    // While shown, the owner of every message box; the window goes with the owner.
    platform::WindowHandle messageOwner = nullptr;
    platform::SplashWindowOwner window;
};

// Shows the splash the settings file names, if any; a splash that cannot be
// shown is no reason to stop the launch.
void showSplash(const DisplaySettings& display, SplashScreen& splash);
