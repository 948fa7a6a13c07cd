#include "jvm/vm_creation.h"

#include "common/memory.h"
#include "common/message_format.h"
#include "common/trace.h"
#include "jvm/vm_output.h"
#include "platform/libraries.h"

namespace {

const char kLoadFailedFormat[] = "Failed to load Java VM library: %s (errno = %d).\n";
const char kLoadFailedReasonFormat[] = "Failed to load Java VM library: %s (%s).\n";
const char kNoEntryPoint[] = "cannot find CreateJavaVM JNI";
const char kNoEntryPointReasonFormat[] = "Cannot find CreateJavaVM JNI: %s.\n";
const char kCreateFailed[] = "failed to create the Java VM";

// Windows gives an error code, Linux's loader says what went wrong in words.
bool loadFailed(const Text& path, const platform::LibraryFailure& failure, Failure& result)
{
    if (failure.reason.isEmpty())
        return fail(result, kLoadFailedFormat, path.chars(), failure.code);
    return fail(result, kLoadFailedReasonFormat, path.chars(), failure.reason.chars());
}

bool entryPointMissing(const platform::LibraryFailure& failure, Failure& result)
{
    if (failure.reason.isEmpty())
        return fail(result, kWindowsExceptionFormat, kNoEntryPoint, failure.code);
    return fail(result, kNoEntryPointReasonFormat, failure.reason.chars());
}

// The option array the machine reads while it is created, the hooks that
// serve last (see jvm/vm_output.h): through them the machine says why it
// cannot start, and the exit hook also calls the launcher's own one (see the
// start-up cache) when the application calls System.exit.
JavaVMOption* fillOptions(const TextList& options, const VmHook* hooks, size_t hookCount, MemoryBlock& block)
{
    size_t count = options.count();
    block.reset(static_cast<char*>(allocateMemory((count + hookCount) * sizeof(JavaVMOption))));
    JavaVMOption* array = reinterpret_cast<JavaVMOption*>(block.get());
    if (!array)
        return nullptr;
    trace("VM options:");
    for (size_t i = 0; i < count; ++i) {
        trace("  %s", { options.at(i) });
        array[i].optionString = const_cast<char*>(options.at(i).chars());
        array[i].extraInfo = nullptr;
    }
    for (size_t i = 0; i < hookCount; ++i) {
        trace("  %s (the launcher's hook)", { hooks[i].name });
        array[count + i].optionString = const_cast<char*>(hooks[i].name);
        array[count + i].extraInfo = hooks[i].function;
    }
    return array;
}

}

bool loadVmLibrary(const Text& path, const Text& binDirectory, VmLibrary& library, Failure& failure)
{
    platform::LibraryFailure loadFailure;
    void* loadedLibrary = platform::loadLibrary(path.chars(), binDirectory.chars(), loadFailure);
    if (!loadedLibrary)
        return loadFailed(path, loadFailure, failure);
    library.createJavaVm =
        reinterpret_cast<CreateJavaVmFunction>(platform::findSymbol(loadedLibrary, "JNI_CreateJavaVM", loadFailure));
    if (!library.createJavaVm)
        return entryPointMissing(loadFailure, failure);
    // Looked up, as a runtime must export it; called only for the size of
    // main's thread.
    library.getDefaultInitArgs = reinterpret_cast<GetDefaultInitArgsFunction>(
        platform::findSymbol(loadedLibrary, "JNI_GetDefaultJavaVMInitArgs", loadFailure));
    if (!library.getDefaultInitArgs)
        return entryPointMissing(loadFailure, failure);
    trace("VM library loaded: %s", { path });
    return true;
}

size_t defaultThreadStackSize(const VmLibrary& library)
{
    // The arguments of JNI 1.1, which a machine still fills with its default
    // stack size when asked with that version, as java asks.
    struct Jni11InitArgs {
        jint version;
        char** properties;
        jint checkSource;
        jint nativeStackSize;
        jint javaStackSize;
        jint minHeapSize;
        jint maxHeapSize;
        jint verifyMode;
        char* classpath;
        void* vfprintfHook;
        void* exitHook;
        void* abortHook;
        jint enableClassGC;
        jint enableVerboseGC;
        jint disableAsyncGC;
        jint verbose;
        jboolean debugging;
        jint debugPort;
    };
    Jni11InitArgs arguments = {};
    arguments.version = JNI_VERSION_1_1;
    if (library.getDefaultInitArgs)
        library.getDefaultInitArgs(&arguments); // what it returns says nothing of the size
    trace("the machine's default thread stack: %d KiB", { static_cast<int>(arguments.javaStackSize >> 10) });
    return arguments.javaStackSize > 0 ? static_cast<size_t>(arguments.javaStackSize) : 0;
}

bool createVm(const VmLibrary& library, const TextList& options, VirtualMachine& machine,
              MainThreadAttachment& attachment, Failure& failure)
{
    Text createFailed = formatMessage(kJniExceptionFormat, kCreateFailed);
    MemoryBlock block;
    VmHook hooks[kMostVmHooks];
    size_t hookCount = chosenVmHooks(hooks);
    JavaVMOption* array = fillOptions(options, hooks, hookCount, block);
    // Without memory for the options or for what an end means, no machine.
    if (!array || !setVmStartFailure(createFailed.isEmpty() ? kCreateFailed : createFailed.chars()))
        return fail(failure, kJniExceptionFormat, kCreateFailed);
    JavaVMInitArgs arguments;
    arguments.version = JNI_VERSION_1_2;
    arguments.nOptions = static_cast<jint>(options.count() + hookCount);
    arguments.options = array;
    arguments.ignoreUnrecognized = JNI_FALSE;
    JNIEnv* env = nullptr;
    jint result = library.createJavaVm(&machine.vm, reinterpret_cast<void**>(&env), &arguments);
    trace("JNI_CreateJavaVM: %d", { static_cast<int>(result) });
    (void)setVmStartFailure(""); // an empty text needs no memory
    if (result == JNI_OK) {
        attachment.attach(machine.vm, env);
        return true;
    }
    machine.vm = nullptr;
    // Without memory for the message, what failed still stands.
    Text message;
    bool told = withVmReason(createFailed.chars(), message) && !message.isEmpty();
    return failWithText(failure, told ? kJniExceptionFormat : kCreateFailed, static_cast<Text&&>(message));
}

VirtualMachine::~VirtualMachine()
{
    if (!vm)
        return;
    trace("DestroyJavaVM: waiting for the application's threads");
    jint result = vm->DestroyJavaVM();
    trace("DestroyJavaVM: %d", { static_cast<int>(result) });
}
