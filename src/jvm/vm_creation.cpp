#include "jvm/vm_creation.h"

#include "common/memory.h"
#include "common/message_format.h"
#include "common/trace.h"
#include "config/settings_path.h"
#include "jvm/vm_output.h"
#include "launcher/error_reporting.h"
#include "launcher/launcher.h"
#include "platform/platform.h"

namespace {

const char kLoadFailedFormat[] = "Failed to load Java VM library: %s (errno = %d).\n";
const char kLoadFailedReasonFormat[] = "Failed to load Java VM library: %s (%s).\n";
const char kNoEntryPoint[] = "cannot find CreateJavaVM JNI";
const char kNoEntryPointReasonFormat[] = "Cannot find CreateJavaVM JNI: %s.\n";
const char kCreateFailed[] = "failed to create the Java VM";

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

namespace {

struct Hook {
    const char* name;
    void* function;
};

}

bool createVm(Launcher& launcher)
{
    // The machine says through these why it cannot start; the exit hook also
    // calls the launcher's own one (see the start-up cache) when the
    // application calls System.exit.
    const Hook hooks[] = {
        { "vfprintf", reinterpret_cast<void*>(vmPrintHook) },
        { "abort", reinterpret_cast<void*>(vmAbortHook) },
        { "exit", reinterpret_cast<void*>(vmExitHook) },
    };
    const size_t hookCount = sizeof hooks / sizeof hooks[0];
    Text failure = formatMessage(kJniExceptionFormat, kCreateFailed);
    size_t count = launcher.vmOptions.count();
    MemoryBlock block(static_cast<char*>(allocateMemory((count + hookCount) * sizeof(JavaVMOption))));
    JavaVMOption* options = reinterpret_cast<JavaVMOption*>(block.get());
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
    for (size_t i = 0; i < hookCount; ++i) {
        trace("  %s (the launcher's hook)", { hooks[i].name });
        options[count + i].optionString = const_cast<char*>(hooks[i].name);
        options[count + i].extraInfo = hooks[i].function;
    }
    JavaVMInitArgs arguments;
    arguments.version = JNI_VERSION_1_2;
    arguments.nOptions = static_cast<jint>(count + hookCount);
    arguments.options = options;
    arguments.ignoreUnrecognized = JNI_FALSE;
    beginVmStart(launcher.messageOwner, launcher.exitHook);
    setVmStartFailure(failure.isEmpty() ? kCreateFailed : failure.chars());
    jint result = launcher.createJavaVmEntry(&launcher.javaVm, reinterpret_cast<void**>(&launcher.jniEnv), &arguments);
    block.reset();
    trace("JNI_CreateJavaVM: %d", { static_cast<int>(result) });
    if (result != JNI_OK) {
        launcher.javaVm = nullptr;
        launcher.jniEnv = nullptr;
        setVmStartFailure("");
        Text message = withVmReason(failure.chars());
        showErrorBox(launcher.messageOwner, message.isEmpty() ? kCreateFailed : message.chars());
        return false;
    }
    setVmStartFailure("");
    return true;
}
