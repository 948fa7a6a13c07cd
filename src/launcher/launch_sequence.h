#pragma once
// The spine of one launch: platform start-up, the launch steps in their fixed
// order, the one place that tells the user why a launch failed, the teardown
// on every path, and the exit code (0 or -1).
#include "common/failure.h"

struct Launcher;

// launchMain, which the process's entry runs, is declared in platform/process.h.
// The steps up to a chosen runtime and the machine's options.
[[nodiscard]] bool prepareLaunch(Launcher& launcher, Failure& failure);
// Loads the VM library, creates the machine and runs main.
[[nodiscard]] bool runApplication(Launcher& launcher, Failure& failure);
