#pragma once
// The optional splash: a BMP file in a window of the launcher's own, shown
// from the start of the launch until the application shows a window, main
// returns or the launch fails, and while shown the owner of every message
// box; or a GIF, PNG or JPEG file shown through the runtime's own splash
// library (splash/runtime_splash.h), which java.awt.SplashScreen controls.
#include "common/text.h"

#include <stddef.h>

struct Launcher;

// False only when the settings file's path cannot be made.
bool showSplash(Launcher& launcher);
void destroySplash(Launcher& launcher);

// "Splash Screen Minimum Time": whole milliseconds, digits only; anything
// else (a sign, a unit, blanks inside, more than nine digits) is no minimum.
unsigned long parseMinimumTime(const Text& value);
