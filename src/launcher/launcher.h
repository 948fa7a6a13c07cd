#pragma once
// The record of one launch. Exactly one lives on the entry's stack for the
// whole run; each step is handed the parts of it that it uses.
#include "common/command_line_arguments.h"
#include "common/text.h"
#include "config/launch_paths.h"
#include "config/main_target.h"
#include "config/settings.h"
#include "jvm/startup_cache.h"
#include "jvm/vm_creation.h"
#include "runtime/chosen_runtime.h"
#include "splash/runtime_splash.h"
#include "splash/splash_screen.h"

struct Launcher {
    Launcher() = default;
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // The teardown is this order reversed: the splash window goes first,
    // then the machine (waiting for the application's threads), and last the
    // archive the machine made is sealed.
    StartupArchive startupArchive;
    VirtualMachine machine;
    LaunchPaths paths;
    CommandLineArguments arguments;
    LaunchSettings settings;
    ChosenRuntime runtime; // once chosen: its home, version, VM library and bin folder
    MainTarget target;     // what runs, once the settings and the runtime are known
    VmLibrary vmLibrary;
    ExitHookFunction exitHook = nullptr; // given to the machine behind its own "exit" hook when set
    RuntimeSplash runtimeSplash;
    SplashScreen splash;
};
