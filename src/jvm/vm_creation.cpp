#include "jvm/vm_creation.h"

#include "common/memory.h"
#include "common/trace.h"
#include "config/settings_path.h"
#include "launcher/error_reporting.h"
#include "launcher/launcher.h"
#include "platform/platform.h"

namespace {

const char kLoadFailedFormat[] = "Failed to load Java VM library: %s (errno = %d).\n";
const char kLoadFailedReasonFormat[] = "Failed to load Java VM library: %s (%s).\n";
const char kNoEntryPoint[] = "cannot find CreateJavaVM JNI";
const char kNoEntryPointReasonFormat[] = "Cannot find CreateJavaVM JNI: %s.\n";
const char kCreateFailed[] = "failed to create the Java VM";
const char kExitHookOption[] = "exit";

// The library lies in bin\<kind>\ of the runtime; its own DLLs lie in bin\.
Text runtimeLibraryDirectory(const Text& vmLibraryPath)
{
    Text kindDirectory = directoryOfPath(vmLibraryPath, platform::kPathSeparator);
    if (kindDirectory.isEmpty())
        return kindDirectory;
    kindDirectory.truncate(kindDirectory.length() - 1);
    return directoryOfPath(kindDirectory, platform::kPathSeparator);
}

// Windows gives an error code, Linux's loader says what went wrong in words.
bool loadFailed(const Launcher& launcher, const platform::LibraryFailure& failure)
{
    const char* library = launcher.jvmLibraryPath.chars();
    if (failure.reason.isEmpty())
        reportSystemError(launcher.messageOwner, kLoadFailedFormat, library, failure.code);
    else
        reportFormatted(launcher.messageOwner, kLoadFailedReasonFormat, library, failure.reason.chars());
    return false;
}

bool entryPointMissing(const Launcher& launcher, const platform::LibraryFailure& failure)
{
    if (failure.reason.isEmpty())
        reportSystemError(launcher.messageOwner, kWindowsExceptionFormat, kNoEntryPoint, failure.code);
    else
        reportFormatted(launcher.messageOwner, kNoEntryPointReasonFormat, failure.reason.chars());
    return false;
}

}

bool loadVmLibrary(Launcher& launcher)
{
    platform::LibraryFailure failure;
    Text dependencies = runtimeLibraryDirectory(launcher.jvmLibraryPath);
    void* library = platform::loadLibrary(launcher.jvmLibraryPath.chars(), dependencies.chars(), failure);
    if (!library)
        return loadFailed(launcher, failure);
    launcher.createJavaVmEntry =
        reinterpret_cast<CreateJavaVmFunction>(platform::findSymbol(library, "JNI_CreateJavaVM", failure));
    if (!launcher.createJavaVmEntry)
        return entryPointMissing(launcher, failure);
    // Looked up, as a runtime must export it, but never called.
    launcher.getDefaultInitArgsEntry = reinterpret_cast<GetDefaultInitArgsFunction>(
        platform::findSymbol(library, "JNI_GetDefaultJavaVMInitArgs", failure));
    if (!launcher.getDefaultInitArgsEntry)
        return entryPointMissing(launcher, failure);
    trace("VM library loaded: %s", { launcher.jvmLibraryPath });
    return true;
}

bool createVm(Launcher& launcher)
{
    size_t count = launcher.vmOptions.count();
    size_t hooks = launcher.exitHook ? 1 : 0;
    JavaVMOption* options = static_cast<JavaVMOption*>(allocateMemory((count + hooks) * sizeof(JavaVMOption)));
    if (!options) {
        reportFormatted(launcher.messageOwner, kJniExceptionFormat, kCreateFailed);
        return false;
    }
    trace("VM options:");
    for (size_t i = 0; i < count; ++i) {
        trace("  %s", { launcher.vmOptions.at(i) });
        options[i].optionString = const_cast<char*>(launcher.vmOptions.at(i).chars());
        options[i].extraInfo = nullptr;
    }
    // The machine calls the hook when the application calls System.exit,
    // after its last work (the archive written) and before the process ends.
    if (hooks) {
        trace("  %s (the launcher's hook)", { kExitHookOption });
        options[count].optionString = const_cast<char*>(kExitHookOption);
        options[count].extraInfo = reinterpret_cast<void*>(launcher.exitHook);
    }
    JavaVMInitArgs arguments;
    arguments.version = JNI_VERSION_1_2;
    arguments.nOptions = static_cast<jint>(count + hooks);
    arguments.options = options;
    arguments.ignoreUnrecognized = JNI_FALSE;
    jint result = launcher.createJavaVmEntry(&launcher.javaVm, reinterpret_cast<void**>(&launcher.jniEnv), &arguments);
    releaseMemory(options);
    trace("JNI_CreateJavaVM: %d", { static_cast<int>(result) });
    if (result != JNI_OK) {
        launcher.javaVm = nullptr;
        launcher.jniEnv = nullptr;
        reportFormatted(launcher.messageOwner, kJniExceptionFormat, kCreateFailed);
        return false;
    }
    return true;
}
