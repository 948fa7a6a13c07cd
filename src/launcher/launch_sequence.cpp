#include "launcher/launch_sequence.h"

#include "common/argument_splitting.h"
#include "common/trace.h"
#include "jvm/java_command.h"
#include "jvm/main_invocation.h"
#include "jvm/main_thread.h"
#include "jvm/vm_output.h"
#include "launcher/error_reporting.h"
#include "launcher/launcher.h"
#include "launcher/trace_file.h"
#include "platform/process.h"
#include "platform/window_handle.h"
#include "runtime/runtime_layout.h"
#include "runtime/runtime_search.h"
#include "splash/runtime_splash.h"

namespace {

const char kComErrorFormat[] = "COM error: %s (errno = %d).\n";
const char kComInitializeFailed[] = "failed to initialize";
const char kWindowFrameworkFailed[] = "failed to initialize module";
const char kRuntimeNotFoundFormat[] =
    "Java Runtime Environment (JRE) not found. Please download and install JRE (%s) from: \n"
    "https://adoptium.net/";
const char kVmNotFoundFormat[] =
    "Java Virtual Machine (JVM) not found in JRE directory %s. Please reinstall JRE.";

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
    if (!findPrivateRuntime(launcher.paths.directory, launcher.runtimeHome))
        return fail(failure, kOutOfMemoryMessage);
    RuntimeRequirement requirement = { settings.minimumVersion, settings.maximumVersion, settings.preferredVersions };
    if (launcher.runtimeHome.isEmpty())
        searchRegisteredRuntimes(requirement, launcher.runtimeHome);
    if (launcher.runtimeHome.isEmpty()) {
        trace("no runtime found");
        return fail(failure, kRuntimeNotFoundFormat, requirementText(requirement.minimum, requirement.maximum).chars());
    }
    launcher.jvmLibraryPath = findJvmLibrary(launcher.runtimeHome, settings.vmLibraryKind);
    trace("runtime %s: VM library %s", { launcher.runtimeHome,
                                         launcher.jvmLibraryPath.isEmpty() ? "none" : launcher.jvmLibraryPath.chars() });
    if (launcher.jvmLibraryPath.isEmpty())
        return fail(failure, kVmNotFoundFormat, launcher.runtimeHome.chars());
    return true;
}

// The splash the runtime's library shows: the parameters' -splash: file,
// else the settings' image, else (with neither a main class nor a module,
// and no splash window) the main JAR's.
RuntimeSplash showSplashOfRuntime(const Launcher& launcher)
{
    const LaunchSettings& settings = launcher.settings;
    const Text& image = settings.splashImage.isEmpty() ? launcher.splash.runtimeImage : settings.splashImage;
    bool jarMayName = image.isEmpty() && !launcher.splash.window.isValid() && settings.mainClassName.isEmpty()
        && settings.mainModule.isEmpty();
    const TextList noJars;
    return showRuntimeSplash(launcher.runtimeHome, image, jarMayName ? settings.mainJarCandidates : noJars);
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

// On the thread main runs on, which the machine is created on.
bool createVmAndRunMain(void* context, MainThreadAttachment& attachment)
{
    MainRun& run = *static_cast<MainRun*>(context);
    Launcher& launcher = run.launcher;
    launcher.vmStart.begin({ showFailureNow, &launcher.splash.messageOwner }, launcher.startupArchive.exitHook());
    if (!createVm(launcher.vmLibrary, launcher.settings.vmOptions, launcher.machine, attachment, run.failure))
        return false;
    MainCall call = { launcher.settings, launcher.runtimeHome, launcher.arguments };
    return invokeMainClass(attachment, launcher.vmStart, call, run.failure);
}

// The failure is shown before the teardown, which waits for the
// application's threads, with the splash window still its owner.
bool launch(platform::InstanceHandle instance)
{
    Launcher launcher(instance);
    Failure failure;
    if (!platformStarted(launcher.startedPlatform, failure)) {
        showFailure(nullptr, failure);
        return false;
    }
    if (prepareLaunch(launcher, failure) && runApplication(launcher, failure))
        return true;
    showFailure(launcher.splash.messageOwner, failure);
    return false;
}

}

int launchMain(platform::InstanceHandle instance)
{
    openTraceFile();
    int result = launch(instance) ? 0 : -1;
    trace("exit code %d", { result });
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
    if (splashWanted(launcher.arguments.texts()))
        showSplash(launcher.paths, launcher.splash);
    if (!loadSettings(launcher.paths, launcher.settings, failure) || !findRuntime(launcher, failure))
        return false;
    LaunchSettings& settings = launcher.settings;
    if (settings.startupCache) {
        StartupCacheFacts facts = { launcher.runtimeHome, launcher.jvmLibraryPath, settings.classPath, launcher.paths };
        addStartupCacheOptions(facts, settings.vmOptions, launcher.startupArchive);
    }
    return addJavaCommandOption(settings, launcher.arguments.texts()) || fail(failure, kOutOfMemoryMessage);
}

bool runApplication(Launcher& launcher, Failure& failure)
{
    // The splash library needs the VM library loaded, and must show its
    // splash before the machine starts for java.awt.SplashScreen to find it.
    if (!loadVmLibrary(launcher.jvmLibraryPath, launcher.vmLibrary, failure))
        return false;
    // Closed as main's run ends, before a failure is shown: a Launcher
    // member would go only after it.
    RuntimeSplash runtimeSplash;
    if (splashWanted(launcher.arguments.texts()))
        runtimeSplash = showSplashOfRuntime(launcher);
    MainRun run = { launcher, failure };
    return runMainOnItsThread(launcher.settings.vmOptions, createVmAndRunMain, &run);
}
