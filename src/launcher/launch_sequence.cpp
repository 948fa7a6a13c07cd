#include "launcher/launch_sequence.h"

#include "common/argument_splitting.h"
#include "common/trace.h"
#include "config/working_directory.h"
#include "config/environment_settings.h"
#include "config/runtime_missing_message.h"
#include "instance/handover_delivery.h"
#include "instance/restart.h"
#include "jvm/java_command.h"
#include "jvm/main_arguments.h"
#include "jvm/main_invocation.h"
#include "jvm/main_thread.h"
#include "jvm/vm_output.h"
#include "launcher/error_reporting.h"
#include "launcher/launcher.h"
#include "launcher/output_file.h"
#include "launcher/trace_file.h"
#include "platform/process.h"
#include "platform/standard_streams.h"
#include "platform/window_handle.h"
#include "runtime/runtime_search.h"
#include "splash/runtime_splash.h"

namespace {

const char kComErrorFormat[] = "COM error: %s (errno = %d).\n";
const char kComInitializeFailed[] = "failed to initialize";
const char kWindowFrameworkFailed[] = "failed to initialize module";

bool platformStarted(const platform::StartedPlatform& started, Failure& failure)
{
    int code = static_cast<int>(started.errorCode);
    switch (started.failure) {
    case platform::StartUpFailure::None:
        return true;
    case platform::StartUpFailure::Apartment:
        return fail(failure, kComErrorFormat, kComInitializeFailed, code);
    case platform::StartUpFailure::WindowFramework:
        return fail(failure, kComErrorFormat, kWindowFrameworkFailed, code);
    }
    return failSilently(failure);
}

void traceLaunch(const LaunchPaths& paths, const TextList& arguments)
{
    trace("launch of %s with %d arguments", { paths.executablePath, static_cast<int>(arguments.count()) });
    for (size_t i = 0; i < arguments.count(); ++i)
        trace("  \"%s\"", { arguments.at(i) });
    if (!paths.settingsPath.isEmpty())
        trace("settings file %s", { paths.settingsPath });
    else if (!paths.directory.isEmpty())
        trace("no settings file: the executable's path %s has no '.'", { paths.executablePath });
}

bool splashWanted(const TextList& arguments)
{
    return findArgument(arguments, "-nosplash") < 0 && findArgument(arguments, "/nosplash") < 0;
}

bool findRuntime(Launcher& launcher, Failure& failure)
{
    const LaunchSettings& settings = launcher.settings;
    RuntimeRequirement requirement = { settings.minimumVersion, settings.maximumVersion, settings.preferredVersions,
                                       settings.vmLibraryKind.chars() };
    TextList passedOver;
    if (chooseRuntime(launcher.paths.directory, requirement, launcher.runtime, passedOver, failure))
        return true;
    // None in range: the application's own message, and the runtimes passed over.
    if (failure.format != kRuntimeNotFoundFormat)
        return false;
    return failRuntimeNotFound(failure, launcher.paths, requirementText(requirement.minimum, requirement.maximum),
                               passedOver);
}

// The splash the runtime's library shows: the parameters' -splash: file,
// else the settings' image, else (without a splash window) the main JAR's.
RuntimeSplash showSplashOfRuntime(const Launcher& launcher)
{
    const LaunchSettings& settings = launcher.settings;
    const Text none;
    const Text& setting = launcher.splash.runtimeShowsImage ? settings.display.splashScreen : none;
    const Text& image = settings.splashImage.isEmpty() ? setting : settings.splashImage;
    if (!image.isEmpty() || launcher.splash.window.isValid())
        return showRuntimeSplash(launcher.runtime.home, image, none);
    const MainTarget& target = launcher.target;
    return showRuntimeSplash(launcher.runtime.home, target.jarSplashImage, target.name);
}

// The machine may end the process while it starts: what it said is shown
// then, as any failure is.
void showFailureNow(const Failure& failure, void* messageOwner)
{
    showFailure(*static_cast<platform::WindowHandle*>(messageOwner), failure);
}

struct MainRun {
    Launcher& launcher;
    Failure& failure;
};

// The application runs: a hand-over it cannot take is said without a box.
void showInPassing(const Failure& failure, void*)
{
    showFailureInPassing(failure);
}

// From the moment main is called, hand-overs (those that came while the
// application started first) are delivered, and the restart code restarts.
void mainIsCalled(void* context)
{
    Launcher& launcher = *static_cast<Launcher*>(context);
    if (launcher.instance.state)
        startHandOverDelivery(launcher.machine.vm, launcher.instance.state->queue, launcher.application,
                              { showInPassing, nullptr });
    if (launcher.application.restarts)
        armRestart();
}

// The machine's exit seals the startup archive, then restarts on the
// configured code.
ExitHookFunction exitHookOf(Launcher& launcher)
{
    ExitHookFunction archiveHook = launcher.startupArchive.exitHook();
    if (!launcher.application.restarts)
        return archiveHook;
    RestartPlan plan = { launcher.application.restartExitCode, launcher.paths, launcher.instance,
                         { showFailureNow, &launcher.splash.messageOwner } };
    return restartOnExitCode(plan, archiveHook);
}

// On the thread main runs on, which the machine is created on.
bool createVmAndRunMain(void* context, MainThreadAttachment& attachment)
{
    MainRun& run = *static_cast<MainRun*>(context);
    Launcher& launcher = run.launcher;
    launcher.vmStart.begin({ showFailureNow, &launcher.splash.messageOwner }, exitHookOf(launcher));
    if (!createVm(launcher.vmLibrary, launcher.settings.vmOptions, launcher.machine, attachment, run.failure))
        return false;
    MainCall call = { launcher.target, launcher.runtime.versionText, launcher.mainArguments };
    if (launcher.instance.state || launcher.application.restarts) {
        call.mainCalled = mainIsCalled;
        call.mainCalledContext = &launcher;
    }
    return invokeMainClass(attachment, launcher.vmStart, call, run.failure);
}

// The running instance takes this start's arguments, or this start becomes it.
bool startAsSingleInstance(Launcher& launcher, Failure& failure)
{
    InstanceStart start = { launcher.paths, launcher.application, launcher.arguments };
    return !launcher.application.singleInstance || startSingleInstance(start, launcher.instance, failure);
}

// The failure is shown before the teardown, which waits for the
// application's threads, with the splash window still its owner.
int launch(platform::InstanceHandle instance)
{
    Launcher launcher(instance);
    Failure failure;
    if (!platformStarted(launcher.startedPlatform, failure)) {
        showFailure(nullptr, failure);
        return failure.exitCode;
    }
    if (prepareLaunch(launcher, failure) && (launcher.instance.handedOver || runApplication(launcher, failure)))
        return 0;
    showFailure(launcher.splash.messageOwner, failure);
    return failure.exitCode;
}

}

int launchMain(platform::InstanceHandle instance)
{
    openTraceFile();
    int result = launch(instance);
    trace("exit code %d", { result });
    platform::finishOutputFile();
    return result;
}

bool prepareLaunch(Launcher& launcher, Failure& failure)
{
    if (!platform::commandLineArguments(launcher.arguments))
        return fail(failure, kOutOfMemoryMessage);
    bool found = findLaunchPaths(launcher.paths, failure);
    traceLaunch(launcher.paths, launcher.arguments.texts());
    if (!found)
        return false;
    Failure warning;
    if (undecodableExecutablePath(launcher.paths.executablePath, warning))
        showFailure(nullptr, warning);
    // The other settings, the single instance's and the splash's among them,
    // see the variables set.
    if (!applyEnvironmentSettings(launcher.paths, failure))
        return false;
    // Before the splash: a start that hands its arguments over shows nothing.
    if (!loadApplicationSettings(launcher.paths, launcher.application, failure)
        || !startAsSingleInstance(launcher, failure))
        return false;
    if (launcher.instance.handedOver)
        return true;
    // The splash window shows before the other settings are read.
    if (splashWanted(launcher.arguments.texts())) {
        readDisplaySettings(launcher.paths, launcher.settings.display);
        showSplash(launcher.settings.display, launcher.splash);
    }
    bool loaded = loadSettings(launcher.paths, launcher.settings, failure);
    // As java, which notes that it read JDK_JAVA_OPTIONS before it says what is wrong with it.
    showNote(launcher.settings.optionsNote);
    if (!loaded || !checkRuntimeDownloadAddress(launcher.paths, failure)
        || !readOutputFileSettings(launcher.paths, launcher.outputFile, failure))
        return false;
    // Before the runtime is loaded: its C runtime takes the standard streams
    // as they are when it starts.
    startOutputFile(launcher.outputFile, launcher.paths.executablePath);
    if (!findRuntime(launcher, failure))
        return false;
    LaunchSettings& settings = launcher.settings;
    if (!findMainTarget(settings, launcher.target))
        return fail(failure, kOutOfMemoryMessage);
    if (settings.startupCache) {
        StartupCacheFacts facts = { launcher.runtime, settings.classPath, launcher.paths };
        addStartupCacheOptions(facts, settings.vmOptions, launcher.startupArchive);
    }
    return (joinMainArguments(settings.mainArguments, launcher.arguments, launcher.mainArguments)
            && addJavaCommandOption(launcher.target.name, launcher.mainArguments.texts(), settings.vmOptions))
        || fail(failure, kOutOfMemoryMessage);
}

bool runApplication(Launcher& launcher, Failure& failure)
{
    // The settings' image is still the one named from the starting folder.
    LaunchSettings& settings = launcher.settings;
    if (!settings.startDirectory.isEmpty() && launcher.splash.runtimeShowsImage
        && !anchorInStartDirectory(settings.display.splashScreen, settings.startDirectory))
        return fail(failure, kOutOfMemoryMessage);
    if (!enterWorkingDirectory(settings.workingDirectory, failure))
        return false;
    // The splash library needs the VM library loaded, and must show its
    // splash before the machine starts for java.awt.SplashScreen to find it.
    if (!loadVmLibrary(launcher.runtime.vmLibraryPath, launcher.runtime.binDirectory, launcher.vmLibrary, failure))
        return false;
    // Closed as main's run ends, before a failure is shown: a Launcher
    // member would go only after it.
    RuntimeSplash runtimeSplash;
    if (splashWanted(launcher.arguments.texts()))
        runtimeSplash = showSplashOfRuntime(launcher);
    MainRun run = { launcher, failure };
    return runMainOnItsThread(launcher.settings.vmOptions, launcher.vmLibrary, createVmAndRunMain, &run);
}
