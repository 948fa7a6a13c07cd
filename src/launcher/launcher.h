#pragma once
// The record of one launch. Exactly one lives on the entry's stack for the
// whole run; each step is handed the parts of it that it uses.
#include "common/command_line_arguments.h"
#include "common/text.h"
#include "config/application_settings.h"
#include "config/launch_paths.h"
#include "config/main_target.h"
#include "config/output_file_settings.h"
#include "config/settings.h"
#include "instance/single_instance.h"
#include "jvm/startup_cache.h"
#include "jvm/vm_creation.h"
#include "jvm/vm_output.h"
#include "platform/process.h"
#include "runtime/chosen_runtime.h"
#include "splash/splash_screen.h"

struct Launcher {
    explicit Launcher(platform::InstanceHandle instance) : startedPlatform(instance) {}
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // The teardown is this order reversed, once a failure has been shown.
    // What main's run holds goes with the run, before that: the runtime's
    // splash (runApplication) and the main thread's attachment to the
    // machine, which only that thread can end (jvm/main_thread.h).
    platform::StartedPlatform startedPlatform; // stops last, once no window is left
    StartupArchive startupArchive;             // sealed once the machine no longer writes it
    SingleInstance instance;                   // its claim is given up once the application has ended
    VirtualMachine machine;                    // its end waits for the application's threads
    LaunchPaths paths;
    CommandLineArguments arguments; // the command line's
    ApplicationSettings application;
    LaunchSettings settings;
    CommandLineArguments mainArguments; // the settings' Main Arguments, then the command line's
    OutputFileSettings outputFile;
    ChosenRuntime runtime; // once chosen: its home, version, VM library and bin folder
    MainTarget target;     // what runs, once the settings and the runtime are known
    VmLibrary vmLibrary;
    SplashScreen splash;    // the window goes once its minimum time is over
    // Ends first when main was never called, while the splash window that
    // owns what it reports is still there.
    VmStartCapture vmStart;
};
