#pragma once
// Loads the chosen VM library and creates the process's one virtual machine
// through the JNI invocation interface.
#include "common/failure.h"
#include "common/text.h"
#include "common/text_list.h"
#include "jvm/main_thread_attachment.h"

#include <jni.h>

typedef jint (JNICALL* CreateJavaVmFunction)(JavaVM**, void**, void*);
typedef jint (JNICALL* GetDefaultInitArgsFunction)(void*);

// The entry points of a loaded VM library. The library itself is never
// unloaded: a machine cannot be created again in the same process.
struct VmLibrary {
    CreateJavaVmFunction createJavaVm = nullptr;
    GetDefaultInitArgsFunction getDefaultInitArgs = nullptr;
};

// The process's one virtual machine, once created. When the owner goes the
// machine is destroyed, which waits for the application's last non-daemon
// thread.
struct VirtualMachine {
    VirtualMachine() = default;
    VirtualMachine(const VirtualMachine&) = delete;
    VirtualMachine& operator=(const VirtualMachine&) = delete;
    ~VirtualMachine();

    JavaVM* vm = nullptr;
};

// The chosen runtime's VM library, its own libraries found in its bin folder
// (runtime/chosen_runtime.h).
[[nodiscard]] bool loadVmLibrary(const Text& path, const Text& binDirectory, VmLibrary& library,
                                 Failure& failure);
// The stack the machine gives its threads unless told otherwise, as java
// asks for it to size main's thread; 0 when the machine leaves it to the
// system.
size_t defaultThreadStackSize(const VmLibrary& library);
// The options in order, then the launcher's hooks that serve (see
// jvm/vm_output.h). The calling thread is attached to the machine it creates.
[[nodiscard]] bool createVm(const VmLibrary& library, const TextList& options, VirtualMachine& machine,
                            MainThreadAttachment& attachment, Failure& failure);
