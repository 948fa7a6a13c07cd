#include "jvm/main_invocation.h"

#include "common/message_format.h"
#include "common/text_scan.h"
#include "common/trace.h"
#include "config/settings.h"
#include "jvm/exception_text.h"
#include "jvm/main_arguments.h"
#include "jvm/runtime_rules.h"
#include "jvm/vm_output.h"
#include "launcher/error_reporting.h"
#include "launcher/launcher.h"
#include "runtime/java_version.h"

namespace {

const char kMainClassStringFailedFormat[] = "Failed to load Main Class: %s.\n";
const char kMainClassNotFoundFormat[] = "Could not find the main class %s.\n";
const char kNoMainMethodMessage[] = "No main method found in specified class.\n";
const char kMainWithArguments[] = "([Ljava/lang/String;)V";

const char kStringClass[] = "java/lang/String";
const char kConstructor[] = "<init>";
const char kFromBytes[] = "([B)V";
const char kFromBytesWithEncoding[] = "([BLjava/lang/String;)V";

// Since Java 18 String(byte[]) decodes UTF-8 whatever the system's code page;
// the launcher's texts are in the native encoding, which the machine names in
// sun.jnu.encoding. Looked up once, at the first text, while no exception is
// pending; null when it cannot be had, and String(byte[]) is used then.
struct NativeEncoding {
    JNIEnv* env = nullptr;
    jstring name = nullptr;
};
NativeEncoding nativeEncoding;

jstring lookUpNativeEncoding(JNIEnv* env)
{
    jclass system = env->FindClass("java/lang/System");
    jmethodID getProperty = system
        ? env->GetStaticMethodID(system, "getProperty", "(Ljava/lang/String;)Ljava/lang/String;")
        : nullptr;
    jstring property = getProperty ? env->NewStringUTF("sun.jnu.encoding") : nullptr;
    jstring value = property
        ? static_cast<jstring>(env->CallStaticObjectMethod(system, getProperty, property))
        : nullptr;
    if (env->ExceptionOccurred()) {
        env->ExceptionClear();
        value = nullptr;
    }
    return value;
}

jstring nativeEncodingName(JNIEnv* env)
{
    if (nativeEncoding.env != env) {
        nativeEncoding.env = env;
        nativeEncoding.name = lookUpNativeEncoding(env);
    }
    return nativeEncoding.name;
}

}

jstring newStringFromText(Launcher& launcher, const Text& text)
{
    JNIEnv* env = launcher.jniEnv;
    jclass stringClass = env->FindClass(kStringClass);
    if (!stringClass)
        return nullptr;
    jstring encoding = nativeEncodingName(env);
    jmethodID constructor =
        env->GetMethodID(stringClass, kConstructor, encoding ? kFromBytesWithEncoding : kFromBytes);
    if (!constructor)
        return nullptr;
    jsize length = static_cast<jsize>(text.length());
    jbyteArray bytes = env->NewByteArray(length);
    if (!bytes)
        return nullptr;
    env->SetByteArrayRegion(bytes, 0, length, reinterpret_cast<const jbyte*>(text.chars()));
    jstring result = nullptr;
    if (!env->ExceptionOccurred()) {
        result = static_cast<jstring>(encoding
            ? env->NewObject(stringClass, constructor, bytes, encoding)
            : env->NewObject(stringClass, constructor, bytes));
    }
    env->DeleteLocalRef(bytes);
    return result;
}

jobjectArray newArgumentArray(Launcher& launcher, const TextList& items)
{
    JNIEnv* env = launcher.jniEnv;
    jclass stringClass = env->FindClass(kStringClass);
    if (!stringClass)
        return nullptr;
    jobjectArray array = env->NewObjectArray(static_cast<jsize>(items.count()), stringClass, nullptr);
    if (!array)
        return nullptr;
    for (size_t i = 0; i < items.count(); ++i) {
        jstring item = newStringFromText(launcher, items.at(i));
        if (!item)
            return nullptr;
        env->SetObjectArrayElement(array, static_cast<jsize>(i), item);
        env->DeleteLocalRef(item);
    }
    return array;
}

namespace {

// What a box shows of an exception's stack: where it was thrown.
const int kFramesShown = 5;
const char kExceptionInMainPrefix[] = "Exception in thread \"main\" ";

// Describes the pending exception on the machine's standard error, as java
// does; where messages go to a box, the box shows it too, since the user sees
// no standard error there. The prefix says where it came from.
void describeException(Launcher& launcher, const char* prefix)
{
    JNIEnv* env = launcher.jniEnv;
    if (platform::messagesShownInBox()) {
        jthrowable thrown = env->ExceptionOccurred();
        env->ExceptionClear();
        Text message(prefix);
        Text said = throwableText(env, thrown, kFramesShown);
        if (thrown)
            env->Throw(thrown);
        if (!said.isEmpty() && message.append(said))
            showErrorBox(launcher.messageOwner, message.chars());
    }
    env->ExceptionDescribe();
}

// "Could not find the main class", and why: the exception (where the
// machine's standard error is not seen) and, for a class built for a newer
// Java, which Java it needs. Read before the exception is described, which
// clears it.
void reportMainClassNotFound(Launcher& launcher, const char* utfName)
{
    JNIEnv* env = launcher.jniEnv;
    jthrowable thrown = env->ExceptionOccurred();
    env->ExceptionClear();
    Text said = thrown ? throwableText(env, thrown, 0) : Text();
    if (thrown)
        env->Throw(thrown);
    env->ExceptionDescribe();
    Text message = formatMessage(kMainClassNotFoundFormat, utfName);
    if (message.isEmpty()) {
        reportFormatted(launcher.messageOwner, kMainClassNotFoundFormat, utfName);
        return;
    }
    Text runtimeVersion;
    if (!runtimeReleaseVersion(launcher.runtimeHome, runtimeVersion))
        runtimeVersion.clear();
    Text advice = classVersionAdvice(said.chars(), runtimeVersion.chars());
    // Without memory for the details the specified message stands alone.
    if (platform::messagesShownInBox())
        (void)message.append(said);
    (void)message.append(advice);
    showErrorBox(launcher.messageOwner, message.chars());
}

// Finds the configured main class and its static main(String[]) as the
// launcher always has, with the same messages; a class without that method is
// then run when the runtime's own launcher would run it. False after the
// failure was reported.
bool findConfiguredMain(Launcher& launcher, MainEntry& entry)
{
    JNIEnv* env = launcher.jniEnv;
    jstring className = newStringFromText(launcher, launcher.mainClassName);
    if (!className) {
        reportFormatted(launcher.messageOwner, kMainClassStringFailedFormat, launcher.mainClassName.chars());
        return false;
    }
    const char* utfName = env->GetStringUTFChars(className, nullptr);
    if (!utfName) {
        env->ExceptionDescribe();
        return false;
    }
    jclass mainClass = env->FindClass(utfName);
    trace("main class %s: %s", { utfName, mainClass ? "found" : "not found" });
    if (!mainClass) {
        reportMainClassNotFound(launcher, utfName);
        env->ReleaseStringUTFChars(className, utfName);
        return false;
    }
    env->ReleaseStringUTFChars(className, utfName);

    entry.mainClass = mainClass;
    entry.main = env->GetStaticMethodID(mainClass, "main", kMainWithArguments);
    trace("static void main(String[]): %s", { entry.main ? "found" : "not found" });
    if (entry.main)
        return true;
    // The lookup's own failure stands unless the runtime runs the class.
    jthrowable failure = env->ExceptionOccurred();
    env->ExceptionClear();
    if (runtimeRunsClass(env, mainClass)) {
        Text name(launcher.mainClassName);
        replaceCharacter(name, '/', '.');
        return loadMainThroughRuntime(launcher, LaunchMode::Class, name, entry) == HelperOutcome::Loaded;
    }
    if (failure) {
        env->Throw(failure);
        describeException(launcher, "");
    } else {
        reportError(kNoMainMethodMessage, launcher.messageOwner);
    }
    return false;
}

// The main module's class, or the main JAR's, as java -m and java -jar load
// them; a runtime without the helper loads the class named in the settings.
bool findMain(Launcher& launcher, MainEntry& entry)
{
    if (!launcher.mainModule.isEmpty()) {
        HelperOutcome outcome = loadMainThroughRuntime(launcher, LaunchMode::Module, launcher.mainModule, entry);
        if (outcome != HelperOutcome::Missing)
            return outcome == HelperOutcome::Loaded;
        size_t slash = findCharacter(launcher.mainModule, '/');
        if (slash == kNotFound
            || !launcher.mainClassName.assign(launcher.mainModule.chars() + slash + 1,
                                              launcher.mainModule.length() - slash - 1)) {
            reportError(kNoMainClassMessage, launcher.messageOwner);
            return false;
        }
        replaceCharacter(launcher.mainClassName, '.', '/');
    } else if (launcher.mainClassName.isEmpty()) {
        Text jar;
        if (!findMainJar(launcher, jar)) {
            reportError(kNoMainClassMessage, launcher.messageOwner);
            return false;
        }
        HelperOutcome outcome = loadMainThroughRuntime(launcher, LaunchMode::Jar, jar, entry);
        if (outcome == HelperOutcome::Missing)
            reportError(kNoMainClassMessage, launcher.messageOwner);
        return outcome == HelperOutcome::Loaded;
    }
    return findConfiguredMain(launcher, entry);
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

bool invokeMainClass(Launcher& launcher)
{
    JNIEnv* env = launcher.jniEnv;
    MainEntry entry;
    if (!findMain(launcher, entry))
        return false;
    jobjectArray arguments = newMainArguments(launcher);
    if (!arguments) {
        env->ExceptionDescribe();
        return false;
    }
    endVmStart();
    trace("main called");
    callMain(env, entry, arguments);
    bool threw = env->ExceptionOccurred() != nullptr;
    trace("main returned%s", { threw ? " with an exception, described on the VM's standard error" : "" });
    if (threw)
        describeException(launcher, kExceptionInMainPrefix);
    jint detached = launcher.javaVm->DetachCurrentThread();
    trace("DetachCurrentThread: %d", { static_cast<int>(detached) });
    // The environment belongs to the thread, which is no longer the machine's.
    if (detached == JNI_OK)
        launcher.jniEnv = nullptr;
    // As with java, an exception out of main is a failure of the launch.
    return detached == JNI_OK && !threw;
}

void destroyVm(Launcher& launcher)
{
    if (!launcher.javaVm)
        return;
    trace("DestroyJavaVM: waiting for the application's threads");
    jint result = launcher.javaVm->DestroyJavaVM();
    trace("DestroyJavaVM: %d", { static_cast<int>(result) });
}
