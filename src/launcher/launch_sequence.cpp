#include "launcher/launch_sequence.h"

#include "common/trace.h"
#include "config/module_path.h"
#include "config/settings.h"
#include "jvm/java_command.h"
#include "jvm/main_invocation.h"
#include "jvm/main_thread.h"
#include "jvm/startup_cache.h"
#include "jvm/vm_creation.h"
#include "launcher/argument_splitting.h"
#include "launcher/error_reporting.h"
#include "launcher/launcher.h"
#include "runtime/runtime_search.h"
#include "splash/runtime_splash.h"
#include "splash/splash_screen.h"

namespace {

const char kComInitializeFailed[] = "failed to initialize";
const char kModuleInitializeFailed[] = "failed to initialize module";
const char kRuntimeNotFoundFormat[] =
    "Java Runtime Environment (JRE) not found. Please download and install JRE (%s) from: \n"
    "https://adoptium.net/";
const char kVmNotFoundFormat[] =
    "Java Virtual Machine (JVM) not found in JRE directory %s. Please reinstall JRE.";

void traceLaunch(const Launcher& launcher)
{
    Text path;
    int error = 0;
    if (!isTracing() || !platform::modulePath(path, error))
        return;
    trace("launch of %s with %d arguments", { path, static_cast<int>(launcher.arguments.count()) });
    for (size_t i = 0; i < launcher.arguments.count(); ++i)
        trace("  \"%s\"", { launcher.arguments.at(i) });
}

bool splashWanted(const TextList& arguments)
{
    return findArgument(arguments, "-nosplash") < 0 && findArgument(arguments, "/nosplash") < 0;
}

}

int launchMain(platform::ModuleInstance instance)
{
    int result = -1;
    {
        Launcher launcher;
        if (initializePlatform(instance) && prepareLaunch(launcher))
            result = runApplication(launcher);
    }
    platform::shutDown();
    trace("exit code %d", { result });
    return result;
}

bool initializePlatform(platform::ModuleInstance instance)
{
    long code = 0;
    switch (platform::startUp(instance, code)) {
    case platform::StartUpFailure::None:
        return true;
    case platform::StartUpFailure::Apartment:
        reportSystemError(nullptr, kComErrorFormat, kComInitializeFailed, static_cast<int>(code));
        return false;
    case platform::StartUpFailure::ModuleState:
        reportSystemError(nullptr, kComErrorFormat, kModuleInitializeFailed, static_cast<int>(code));
        return false;
    }
    return false;
}

bool prepareLaunch(Launcher& launcher)
{
    if (!splitCommandLine(launcher.arguments, launcher.wideArguments)) {
        reportError(kOutOfMemoryMessage, launcher.messageOwner);
        return false;
    }
    traceLaunch(launcher);
    warnOfUndecodableModulePath(launcher);
    launcher.splashSuppressed = !splashWanted(launcher.arguments);
    if (!launcher.splashSuppressed && !showSplash(launcher))
        return false;
    if (!loadSettings(launcher))
        return false;

    Text runtimeHome;
    if (!findPrivateRuntime(launcher, runtimeHome))
        return false;
    if (runtimeHome.isEmpty())
        searchRegisteredRuntimes(launcher, runtimeHome);

    Text requirement = requirementText(launcher.minimumVersion, launcher.maximumVersion);
    if (runtimeHome.isEmpty()) {
        trace("no runtime found");
        reportFormatted(launcher.messageOwner, kRuntimeNotFoundFormat, requirement.chars());
        return false;
    }

    launcher.jvmLibraryPath = findJvmLibrary(runtimeHome, launcher.vmLibraryKind);
    trace("runtime %s: VM library %s",
          { runtimeHome, launcher.jvmLibraryPath.isEmpty() ? "none" : launcher.jvmLibraryPath.chars() });
    if (launcher.jvmLibraryPath.isEmpty()) {
        reportFormatted(launcher.messageOwner, kVmNotFoundFormat, runtimeHome.chars());
        return false;
    }
    addStartupCacheOptions(launcher, runtimeHome);
    launcher.runtimeHome = static_cast<Text&&>(runtimeHome);
    if (!addJavaCommandOption(launcher)) {
        reportError(kOutOfMemoryMessage, launcher.messageOwner);
        return false;
    }
    return true;
}

namespace {

int createVmAndRunMain(Launcher& launcher)
{
    if (!createVm(launcher))
        return -1;
    return invokeMainClass(launcher) ? 0 : -1;
}

}

int runApplication(Launcher& launcher)
{
    // The splash library needs the VM library loaded, and must show its
    // splash before the machine starts for java.awt.SplashScreen to find it.
    if (!loadVmLibrary(launcher) || !showRuntimeSplash(launcher))
        return -1;
    int result = runMainOnItsThread(launcher, createVmAndRunMain);
    closeRuntimeSplash(launcher);
    return result;
}
