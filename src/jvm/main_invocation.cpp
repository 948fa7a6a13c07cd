#include "jvm/main_invocation.h"

#include "common/message_format.h"
#include "common/trace.h"
#include "jvm/exception_text.h"
#include "jvm/java_strings.h"
#include "jvm/main_arguments.h"
#include "jvm/runtime_rules.h"
#include "jvm/vm_output.h"
#include "platform/message_box.h"

namespace {

const char kMainClassStringFailedFormat[] = "Failed to load Main Class: %s.\n";
const char kMainClassNotFoundFormat[] = "Could not find the main class %s.\n";
const char kNoMainMethodMessage[] = "No main method found in specified class.\n";
const char kMainWithArguments[] = "([Ljava/lang/String;)V";

// What a box shows of an exception's stack: where it was thrown.
const int kFramesShown = 5;
const char kExceptionInMainPrefix[] = "Exception in thread \"main\" ";

// Where messages go to a box, the failure carries the pending exception,
// since the user sees no standard error there; it stays pending. The prefix
// says where it came from.
void keepExceptionForBox(JNIEnv* env, const char* prefix, Failure& failure)
{
    failSilently(failure);
    if (!platform::messagesShownInBox())
        return;
    jthrowable thrown = env->ExceptionOccurred();
    env->ExceptionClear();
    Text message;
    Text said = throwableText(env, thrown, kFramesShown);
    if (thrown)
        env->Throw(thrown);
    if (!said.isEmpty() && message.assign(prefix) && message.append(said))
        failWithText(failure, prefix, static_cast<Text&&>(message));
}

// Describes the pending exception on the machine's standard error, as java
// does, and in the failure where messages go to a box.
bool describeException(JNIEnv* env, const char* prefix, Failure& failure)
{
    keepExceptionForBox(env, prefix, failure);
    env->ExceptionDescribe();
    return false;
}

// "Could not find the main class", and why: the exception (where the
// machine's standard error is not seen) and, for a class built for a newer
// Java, which Java it needs. Read before the exception is described, which
// clears it.
bool mainClassNotFound(JNIEnv* env, const char* utfName, const Text& runtimeVersion, Failure& failure)
{
    jthrowable thrown = env->ExceptionOccurred();
    env->ExceptionClear();
    Text said = thrown ? throwableText(env, thrown, 0) : Text();
    if (thrown)
        env->Throw(thrown);
    env->ExceptionDescribe();
    fail(failure, kMainClassNotFoundFormat, utfName);
    if (failure.message.isEmpty())
        return false;
    Text advice = classVersionAdvice(said.chars(), runtimeVersion.chars());
    // Without memory for the details the specified message stands alone.
    if (platform::messagesShownInBox())
        (void)failure.message.append(said);
    (void)failure.message.append(advice);
    return false;
}

// The helper's refusal is its pending exception.
HelperOutcome loadThroughRuntime(JNIEnv* env, LaunchMode mode, const Text& what, MainEntry& entry, Failure& failure)
{
    HelperOutcome outcome = loadMainThroughRuntime(env, mode, what, entry);
    if (outcome == HelperOutcome::Failed)
        describeException(env, "", failure);
    return outcome;
}

// Finds the configured main class and its static main(String[]) as the
// launcher always has, with the same messages; a class without that method is
// then run when the runtime's own launcher would run it.
bool findConfiguredMain(JNIEnv* env, const MainTarget& target, const Text& runtimeVersion, MainEntry& entry,
                        Failure& failure)
{
    const Text& mainClassName = target.className;
    jstring className = newStringFromText(env, mainClassName);
    if (!className)
        return fail(failure, kMainClassStringFailedFormat, mainClassName.chars());
    const char* utfName = env->GetStringUTFChars(className, nullptr);
    if (!utfName) {
        env->ExceptionDescribe();
        return failSilently(failure);
    }
    jclass mainClass = env->FindClass(utfName);
    // As java, which loads the class first and initializes it when it looks
    // up main, tells of an initializer that threw by its exception alone.
    bool initializerThrew = !mainClass && classLoadsWithoutInitializing(env, target.javaClassName);
    trace("main class %s: %s", { utfName, mainClass ? "found" : initializerThrew ? "its initializer threw" : "not found" });
    if (!mainClass && !initializerThrew)
        mainClassNotFound(env, utfName, runtimeVersion, failure);
    env->ReleaseStringUTFChars(className, utfName);
    if (initializerThrew)
        return describeException(env, kExceptionInMainPrefix, failure);
    if (!mainClass)
        return false;

    entry.mainClass = mainClass;
    entry.main = env->GetStaticMethodID(mainClass, "main", kMainWithArguments);
    trace("static void main(String[]): %s", { entry.main ? "found" : "not found" });
    if (entry.main) {
        // JNI finds a main of any access. The runtime's launcher decides
        // which main it calls, and whether: a private main (on Java 17 any
        // but a public one) is refused with its message, a JavaFX
        // application starts through its JavaFX support.
        MainEntry decided;
        HelperOutcome outcome = loadThroughRuntime(env, LaunchMode::Class, target.javaClassName, decided, failure);
        if (outcome == HelperOutcome::Loaded)
            entry = decided;
        return outcome != HelperOutcome::Failed;
    }
    // The lookup's own failure stands unless the runtime runs the class.
    jthrowable lookupFailure = env->ExceptionOccurred();
    env->ExceptionClear();
    if (runtimeRunsClass(env, mainClass))
        return loadThroughRuntime(env, LaunchMode::Class, target.javaClassName, entry, failure) == HelperOutcome::Loaded;
    if (!lookupFailure)
        return fail(failure, kNoMainMethodMessage);
    env->Throw(lookupFailure);
    return describeException(env, "", failure);
}

// The main module's class, or the main JAR's, as java -m and java -jar load
// them; a runtime without the helper loads the class named in the settings.
bool findMain(JNIEnv* env, const MainCall& call, MainEntry& entry, Failure& failure)
{
    const MainTarget& target = call.target;
    if (target.kind == MainKind::Module || target.kind == MainKind::Jar) {
        LaunchMode mode = target.kind == MainKind::Module ? LaunchMode::Module : LaunchMode::Jar;
        HelperOutcome outcome = loadThroughRuntime(env, mode, target.name, entry, failure);
        if (outcome != HelperOutcome::Missing)
            return outcome == HelperOutcome::Loaded;
    }
    if (target.kind == MainKind::Jar || !target.namesClass)
        return fail(failure, kNoMainClassMessage);
    return findConfiguredMain(env, target, call.runtimeVersion, entry, failure);
}

// As java calls each form: an instance main on an object made with the
// class's constructor without arguments. A lookup that fails leaves its
// exception pending.
void callMain(JNIEnv* env, const MainEntry& entry, jobjectArray arguments)
{
    bool withArguments =
        entry.form == MainForm::StaticWithArguments || entry.form == MainForm::InstanceWithArguments;
    const char* signature = withArguments ? kMainWithArguments : "()V";
    if (entry.form == MainForm::StaticWithArguments || entry.form == MainForm::StaticWithoutArguments) {
        jmethodID main = entry.main ? entry.main : env->GetStaticMethodID(entry.mainClass, "main", signature);
        if (main && withArguments)
            env->CallStaticVoidMethod(entry.mainClass, main, arguments);
        else if (main)
            env->CallStaticVoidMethod(entry.mainClass, main);
        return;
    }
    jmethodID constructor = env->GetMethodID(entry.mainClass, "<init>", "()V");
    jobject instance = constructor ? env->NewObject(entry.mainClass, constructor) : nullptr;
    jmethodID main = instance ? env->GetMethodID(entry.mainClass, "main", signature) : nullptr;
    if (main && withArguments)
        env->CallVoidMethod(instance, main, arguments);
    else if (main)
        env->CallVoidMethod(instance, main);
}

}

bool invokeMainClass(MainThreadAttachment& attachment, VmStartCapture& start, const MainCall& call,
                     Failure& failure)
{
    JNIEnv* env = attachment.env();
    MainEntry entry;
    if (!findMain(env, call, entry, failure))
        return false;
    jobjectArray arguments = newMainArguments(env, call.arguments);
    if (!arguments) {
        env->ExceptionDescribe();
        return failSilently(failure);
    }
    start.end();
    trace("main called");
    if (call.mainCalled)
        call.mainCalled(call.mainCalledContext);
    callMain(env, entry, arguments);
    bool threw = env->ExceptionOccurred() != nullptr;
    trace("main returned%s", { threw ? " with an exception, for the thread's uncaught-exception handler" : "" });
    // As java, the exception stays pending: leaving the machine, the thread
    // hands it to its uncaught-exception handler (the default one prints it
    // as "Exception in thread "main" ...").
    if (threw)
        keepExceptionForBox(env, kExceptionInMainPrefix, failure);
    jint detached = attachment.detach();
    trace("DetachCurrentThread: %d", { static_cast<int>(detached) });
    // As with java, an exception out of main is a failure of the launch.
    if (threw)
        return false;
    return detached == JNI_OK || failSilently(failure);
}
