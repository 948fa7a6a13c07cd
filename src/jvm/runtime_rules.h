#pragma once
// What the runtime's own launcher decides about the main class, asked of the
// runtime itself: its sun.launcher.LauncherHelper loads the main class of a
// class, a JAR file or a module as java does (manifest attributes, JavaFX
// applications, the main methods it admits). The helper is internal to the
// runtime: where it is missing, each question here says so, and the launcher
// goes on as it always did.
#include "common/text.h"

#include <jni.h>

// How main is declared, and so how it is called.
enum class MainForm { StaticWithArguments, StaticWithoutArguments, InstanceWithArguments, InstanceWithoutArguments };

struct MainEntry {
    jclass mainClass = nullptr;
    MainForm form = MainForm::StaticWithArguments;
    jmethodID main = nullptr; // when already looked up
};

// java's launch modes, as the helper numbers them.
enum class LaunchMode { Class = 1, Jar = 2, Module = 3 };

enum class HelperOutcome {
    Loaded,  // the entry is set
    Missing, // the runtime has no such helper: nothing happened, nothing pending
    Failed,  // the helper refused: its exception is pending
};

// Loads the main class as java does for the mode and what (class name, JAR
// file or module[/class]). The helper ends the process itself, with java's
// message and exit code, where java would.
HelperOutcome loadMainThroughRuntime(JNIEnv* env, LaunchMode mode, const Text& what, MainEntry& entry);

// Whether the runtime's launcher would run a class that has no static
// main(String[]): a JavaFX application, or a main form that the runtime
// admits (Java 25's instance and argument-less mains). Leaves nothing pending.
bool runtimeRunsClass(JNIEnv* env, jclass mainClass);

// Whether the class (its name with dots) is there to be loaded by the
// application's class loader, without running its static initializer: JNI's
// FindClass runs it, and fails for a class that is there when it throws.
// Leaves what was pending before pending again.
bool classLoadsWithoutInitializing(JNIEnv* env, const Text& className);

