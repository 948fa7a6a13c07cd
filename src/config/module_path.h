#pragma once
// The launcher's own path, its directory and its settings file's path. Each
// asks the system afresh; nothing is cached.
#include "common/text.h"

struct Launcher;

bool getModulePath(const Launcher& launcher, Text& path);
bool getModuleDirectory(const Launcher& launcher, Text& directory);
// False without a message when the executable's path holds no '.'.
bool getIniPath(const Launcher& launcher, Text& iniPath);
// Where the system's names are bytes that reach the virtual machine as they
// are (Linux), says so, once, when the locale cannot decode them; the launch
// goes on.
void warnOfUndecodableModulePath(const Launcher& launcher);
