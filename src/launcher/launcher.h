#pragma once
// The record of one launch. Exactly one lives on the entry's stack for the
// whole run; every step takes it by reference.
#include "common/text.h"
#include "common/text_list.h"
#include "jvm/startup_cache.h"
#include "platform/platform.h"
#include "runtime/version_number.h"

#include <jni.h>

typedef jint (JNICALL* CreateJavaVmFunction)(JavaVM**, void**, void*);
typedef jint (JNICALL* GetDefaultInitArgsFunction)(void*);

struct Launcher {
    Launcher() = default;
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;
    // Ends the splash window, then the virtual machine (waiting for the
    // application's threads), then seals the archive the machine made; the
    // members are then released in reverse order.
    ~Launcher();

    Text jvmLibraryPath;
    JavaVM* javaVm = nullptr;
    JNIEnv* jniEnv = nullptr;
    Text mainClassName;
    VersionNumber minimumVersion;
    VersionNumber maximumVersion;
    TextList arguments;
    TextList wideArguments; // see platform::commandLineArguments
    platform::SplashWindowOwner splashWindow;
    platform::WindowHandle messageOwner = nullptr;
    TextList vmOptions;
    TextList preferredVersions;
    CreateJavaVmFunction createJavaVmEntry;
    GetDefaultInitArgsFunction getDefaultInitArgsEntry;
    bool startupCache = false; // the runtime keeps a class archive for the application
    StartupArchive startupArchive;
    ExitHookFunction exitHook = nullptr; // given to the machine as its "exit" option when set
    Text vmLibraryKind;        // "client" or "server" when the parameters ask for that VM library
    Text runtimeHome;          // the chosen runtime's home, once found
    bool splashSuppressed = false; // "-nosplash" or "/nosplash" was given
    Text splashImage;          // a GIF, PNG or JPEG file for the runtime's splash library
    void (*closeSplashImage)() = nullptr; // set while the runtime's splash library shows it
    Text mainModule;           // the main module as java -m takes it, "app" or "app/app.Main"
    TextList mainJarCandidates; // without a main class: the class path's JAR files, in order
};
