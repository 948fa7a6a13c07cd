#pragma once
// The spine of one launch: platform start-up, the launch steps in their fixed
// order, the teardown on every path, and the exit code (0 or -1).
#include "platform/platform.h"

struct Launcher;

int launchMain(platform::ModuleInstance instance);
bool initializePlatform(platform::ModuleInstance instance);
bool prepareLaunch(Launcher& launcher);
int runApplication(Launcher& launcher);
