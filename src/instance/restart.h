#pragma once
// Restart Exit Code: an application that ends with System.exit(N), N the
// configured code, is started again, as an updater wants once it has
// replaced the application's files: from the machine's exit hook (System.exit
// ends the process inside it), the single instance's claim is given up first,
// then the executable starts anew with the same command line, working
// directory and environment (an ordinary start: settings read again, runtime
// searched again), and the process ends with 0. Any other code passes
// through.
#include "config/launch_paths.h"
#include "instance/single_instance.h"
#include "jvm/vm_output.h"

struct RestartPlan {
    int exitCode;
    const LaunchPaths& paths;
    SingleInstance& instance;
    FailureReport report; // tells the user when the executable cannot be started
};

// The exit hook that restarts, calling `chained` (another of the launcher's
// hooks, or null) first; there is one plan per process.
ExitHookFunction restartOnExitCode(const RestartPlan& plan, ExitHookFunction chained);
// Main is called: from now on the code restarts. Before, an exit is the
// machine's own failure to start (which ends with 1, say), which would only
// fail again, and again.
void armRestart();

extern const char kRestartFailedFormat[];
