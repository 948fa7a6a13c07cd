#pragma once
// Reads the launch settings from the settings file into the Launcher.
struct Launcher;

// True when every setting was read; false after a message, or silently when
// the settings file's path cannot be made from a path without '.'.
bool loadSettings(Launcher& launcher);

extern const char kDisplaySection[];
extern const char kSplashScreenKey[];
extern const char kSplashScreenShadowKey[];
extern const char kSplashScreenMinimumTimeKey[];
// The first VM option: the class path, as the runtime takes it.
extern const char kClassPathOption[];
// Neither the settings nor a JAR file of the class path name the main class.
extern const char kNoMainClassMessage[];
