#pragma once
// The record of one launch. Exactly one lives on the entry's stack for the
// whole run; each step is handed the parts of it that it uses.
#include "common/command_line_arguments.h"
#include "common/text.h"
#include "config/launch_paths.h"
#include "config/settings.h"
#include "jvm/startup_cache.h"
#include "jvm/vm_creation.h"
#include "platform/process.h"
#include "splash/splash_screen.h"

struct Launcher {
    explicit Launcher(platform::InstanceHandle instance) : startedPlatform(instance) {}
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // The teardown is this order reversed: the splash window goes first,
    // then the machine (waiting for the application's threads), the archive
    // the machine made is sealed, and last the platform's services stop.
    // The runtime's splash goes with main's run, before a failure is shown
    // (see launch_sequence.cpp).
    platform::StartedPlatform startedPlatform; // stops last, once no window is left
    StartupArchive startupArchive;             // sealed once the machine no longer writes it
    VirtualMachine machine;
    LaunchPaths paths;
    CommandLineArguments arguments;
    LaunchSettings settings;
    Text runtimeHome;       // the chosen runtime's home, once found
    Text jvmLibraryPath;
    VmLibrary vmLibrary;
    SplashScreen splash;
};
