#pragma once
// The record of one launch. Exactly one lives on the entry's stack for the
// whole run; every step takes it by reference.
#include "common/text.h"
#include "common/text_list.h"
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
    // application's threads); the members are then released in reverse order.
    ~Launcher();

    Text jvmLibraryPath;
    JavaVM* javaVm = nullptr;
    JNIEnv* jniEnv = nullptr;
    Text mainClassName;
    VersionNumber minimumVersion;
    VersionNumber maximumVersion;
    TextList arguments;
    platform::SplashWindowOwner splashWindow;
    platform::WindowHandle messageOwner = nullptr;
    TextList vmOptions;
    TextList preferredVersions;
    CreateJavaVmFunction createJavaVmEntry;
    GetDefaultInitArgsFunction getDefaultInitArgsEntry;
    bool startupCache = false; // the runtime keeps a class archive for the application
    Text mainModule;           // the main module as java -m takes it, "app" or "app/app.Main"
    TextList mainJarCandidates; // without a main class: the class path's JAR files, in order
};
