#pragma once
// The record of one launch. Exactly one lives on the entry's stack for the
// whole run; each step is handed the parts of it that it uses.
#include "common/command_line_arguments.h"
#include "common/text.h"
#include "config/launch_paths.h"
#include "config/settings.h"
#include "jvm/startup_cache.h"
#include "jvm/vm_creation.h"
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
    CommandLineArguments arguments; // the command line's
    LaunchSettings settings;
    CommandLineArguments mainArguments; // the settings' Main Arguments, then the command line's
    Text runtimeHome;       // the chosen runtime's home, once found
    Text jvmLibraryPath;
    VmLibrary vmLibrary;
    ExitHookFunction exitHook = nullptr; // given to the machine behind its own "exit" hook when set
    RuntimeSplash runtimeSplash;
    SplashScreen splash;
};
