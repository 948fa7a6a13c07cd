#pragma once
// The launcher's own path, its directory and its settings file's path. Each
// asks the system afresh; nothing is cached.
#include "common/text.h"

struct Launcher;

bool getModulePath(const Launcher& launcher, Text& path);
bool getModuleDirectory(const Launcher& launcher, Text& directory);
// False without a message when the executable's path holds no '.'.
bool getIniPath(const Launcher& launcher, Text& iniPath);
