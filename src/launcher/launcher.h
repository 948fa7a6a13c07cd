#pragma once
// The record of one launch. Exactly one lives on the entry's stack for the
// whole run; each step is handed the parts of it that it uses.
#include "common/command_line_arguments.h"
#include "common/text.h"
#include "config/application_settings.h"
#include "config/launch_paths.h"
#include "config/settings.h"
#include "instance/single_instance.h"
#include "jvm/startup_cache.h"
#include "jvm/vm_creation.h"
#include "splash/runtime_splash.h"
#include "splash/splash_screen.h"

struct Launcher {
    Launcher() = default;
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // The teardown is this order reversed: the splash window goes first,
    // then the machine (waiting for the application's threads), then the
    // single instance's claim, and last the archive the machine made is sealed.
    StartupArchive startupArchive;
    SingleInstance instance;
    VirtualMachine machine;
    LaunchPaths paths;
    CommandLineArguments arguments;
    ApplicationSettings application;
    LaunchSettings settings;
    Text runtimeHome;       // the chosen runtime's home, once found
    Text jvmLibraryPath;
    VmLibrary vmLibrary;
    ExitHookFunction exitHook = nullptr; // given to the machine behind its own "exit" hook when set
    RuntimeSplash runtimeSplash;
    SplashScreen splash;
};
