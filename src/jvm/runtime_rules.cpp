#include "jvm/runtime_rules.h"

#include "common/trace.h"
#include "jvm/java_strings.h"

namespace {

const char kHelperClass[] = "sun/launcher/LauncherHelper";
const char kCheckAndLoadMain[] = "checkAndLoadMain";
const char kCheckAndLoadMainSignature[] = "(ZILjava/lang/String;)Ljava/lang/Class;";
const char kMethodFinderClass[] = "jdk/internal/misc/MethodFinder";
const char kFindMainMethodSignature[] = "(Ljava/lang/Class;)Ljava/lang/reflect/Method;";
const char kJavaFxApplicationClass[] = "javafx/application/Application";
const char kForNameSignature[] = "(Ljava/lang/String;ZLjava/lang/ClassLoader;)Ljava/lang/Class;";

// A lookup that failed because the runtime lacks what was looked up.
template <typename T>
T absent(JNIEnv* env, T found)
{
    if (!found)
        env->ExceptionClear();
    return found;
}

bool staticFlag(JNIEnv* env, jclass helper, const char* name, bool fallback)
{
    jfieldID field = absent(env, env->GetStaticFieldID(helper, name, "Z"));
    return field ? env->GetStaticBooleanField(helper, field) == JNI_TRUE : fallback;
}

// Before Java 25 the helper admits static main(String[]) alone and has no
// fields that say otherwise.
MainForm helperMainForm(JNIEnv* env, jclass helper)
{
    bool isStatic = staticFlag(env, helper, "isStaticMain", true);
    bool noArguments = staticFlag(env, helper, "noArgMain", false);
    if (isStatic)
        return noArguments ? MainForm::StaticWithoutArguments : MainForm::StaticWithArguments;
    return noArguments ? MainForm::InstanceWithoutArguments : MainForm::InstanceWithArguments;
}

}

HelperOutcome loadMainThroughRuntime(JNIEnv* env, LaunchMode mode, const Text& what, MainEntry& entry)
{
    jclass helper = absent(env, env->FindClass(kHelperClass));
    jmethodID check = helper
        ? absent(env, env->GetStaticMethodID(helper, kCheckAndLoadMain, kCheckAndLoadMainSignature))
        : nullptr;
    trace("runtime's launcher helper: %s", { check ? "found" : "not found" });
    if (!check)
        return HelperOutcome::Missing;
    jstring whatString = newStringFromText(env, what);
    jobject loaded = whatString
        ? env->CallStaticObjectMethod(helper, check, JNI_TRUE, static_cast<jint>(mode), whatString)
        : nullptr;
    if (!loaded || env->ExceptionCheck())
        return HelperOutcome::Failed;
    entry.mainClass = static_cast<jclass>(loaded);
    entry.form = helperMainForm(env, helper);
    trace("main loaded as java loads it: %s, main form %d", { what, static_cast<int>(entry.form) });
    return HelperOutcome::Loaded;
}

bool runtimeRunsClass(JNIEnv* env, jclass mainClass)
{
    // java's own test: a JavaFX application needs no main of its own.
    jclass application = absent(env, env->FindClass(kJavaFxApplicationClass));
    if (application && env->IsAssignableFrom(mainClass, application))
        return true;
    jclass finder = absent(env, env->FindClass(kMethodFinderClass));
    jmethodID find = finder
        ? absent(env, env->GetStaticMethodID(finder, "findMainMethod", kFindMainMethodSignature))
        : nullptr;
    jobject method = find ? env->CallStaticObjectMethod(finder, find, mainClass) : nullptr;
    if (env->ExceptionCheck()) {
        env->ExceptionClear();
        method = nullptr;
    }
    return method != nullptr;
}

bool classLoadsWithoutInitializing(JNIEnv* env, const Text& className)
{
    jthrowable pending = env->ExceptionOccurred();
    env->ExceptionClear();
    jclass classClass = absent(env, env->FindClass("java/lang/Class"));
    jclass loaderClass = classClass ? absent(env, env->FindClass("java/lang/ClassLoader")) : nullptr;
    jmethodID systemLoader = loaderClass
        ? absent(env, env->GetStaticMethodID(loaderClass, "getSystemClassLoader", "()Ljava/lang/ClassLoader;"))
        : nullptr;
    jmethodID forName = systemLoader ? absent(env, env->GetStaticMethodID(classClass, "forName", kForNameSignature))
                                     : nullptr;
    jobject loader = forName ? env->CallStaticObjectMethod(loaderClass, systemLoader) : nullptr;
    jstring name = loader ? newStringFromText(env, className) : nullptr;
    jobject loaded = name ? env->CallStaticObjectMethod(classClass, forName, name, JNI_FALSE, loader) : nullptr;
    if (env->ExceptionCheck()) {
        env->ExceptionClear();
        loaded = nullptr;
    }
    if (pending)
        env->Throw(pending);
    return loaded != nullptr;
}

