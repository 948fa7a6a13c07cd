#pragma once
// The settings file's [Display] section: the splash the launch shows, read
// at the start, before the other settings, for the splash window to show at
// once.
#include "common/text.h"
#include "config/launch_paths.h"

struct DisplaySettings {
    Text splashScreen;                   // the file "Splash Screen" names, its names expanded; empty for none
    bool splashShadow = false;           // "Splash Screen Shadow" is exactly "true"
    unsigned long splashMinimumTime = 0; // "Splash Screen Minimum Time", in milliseconds
};

// Without a splash its minimum time is not read; one whose names cannot be
// expanded for want of memory is no splash.
void readDisplaySettings(const LaunchPaths& paths, DisplaySettings& display);

// "Splash Screen Minimum Time": whole milliseconds, digits only; anything
// else (a sign, a unit, blanks inside, more than nine digits) is no minimum.
unsigned long parseMinimumTime(const Text& value);
