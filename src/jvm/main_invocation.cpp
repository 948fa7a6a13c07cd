#include "jvm/main_invocation.h"

#include "common/trace.h"
#include "jvm/main_arguments.h"
#include "launcher/error_reporting.h"
#include "launcher/launcher.h"

namespace {

const char kMainClassStringFailedFormat[] = "Failed to load Main Class: %s.\n";
const char kMainClassNotFoundFormat[] = "Could not find the main class %s.\n";
const char kNoMainMethodMessage[] = "No main method found in specified class.\n";

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

bool invokeMainClass(Launcher& launcher)
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
        env->ExceptionDescribe();
        reportFormatted(launcher.messageOwner, kMainClassNotFoundFormat, utfName);
        env->ReleaseStringUTFChars(className, utfName);
        return false;
    }
    env->ReleaseStringUTFChars(className, utfName);

    jmethodID main = env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V");
    trace("static void main(String[]): %s", { main ? "found" : "not found" });
    if (!main) {
        if (env->ExceptionOccurred())
            env->ExceptionDescribe();
        else
            reportError(kNoMainMethodMessage, launcher.messageOwner);
        return false;
    }
    jobjectArray arguments = newMainArguments(launcher);
    if (!arguments) {
        env->ExceptionDescribe();
        return false;
    }
    trace("main called");
    env->CallStaticVoidMethod(mainClass, main, arguments);
    bool threw = env->ExceptionOccurred() != nullptr;
    trace("main returned%s", { threw ? " with an exception, described on the VM's standard error" : "" });
    if (threw)
        env->ExceptionDescribe();
    jint detached = launcher.javaVm->DetachCurrentThread();
    trace("DetachCurrentThread: %d", { static_cast<int>(detached) });
    return detached == JNI_OK;
}

void destroyVm(Launcher& launcher)
{
    if (!launcher.javaVm)
        return;
    trace("DestroyJavaVM: waiting for the application's threads");
    jint result = launcher.javaVm->DestroyJavaVM();
    trace("DestroyJavaVM: %d", { static_cast<int>(result) });
}
