#pragma once
// Where the launch starts from: the launcher's own path and what follows from
// it, asked of the system once per launch.
#include "common/failure.h"
#include "common/text.h"

struct LaunchPaths {
    Text executablePath;  // the executable, exact in the code page
    Text directory;       // its folder, with the separator at its end
    Text settingsPath;    // the settings file beside it
    Text applicationName; // its name without the extension
};

// False with the message when the executable's path cannot be had; false
// with nothing to tell when no settings file's path can be made from it (a
// path without '.'). executablePath is set as near as it could be had.
[[nodiscard]] bool findLaunchPaths(LaunchPaths& paths, Failure& failure);
// Where the system's names are bytes that reach the virtual machine as they
// are (Linux): true with a warning when the locale cannot decode the path;
// the launch goes on.
bool undecodableExecutablePath(const Text& executablePath, Failure& warning);
