#include "jvm/java_strings.h"

namespace {

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

jstring newStringFromText(JNIEnv* env, const Text& text)
{
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

jobjectArray newArgumentArray(JNIEnv* env, const TextList& items)
{
    jclass stringClass = env->FindClass(kStringClass);
    if (!stringClass)
        return nullptr;
    jobjectArray array = env->NewObjectArray(static_cast<jsize>(items.count()), stringClass, nullptr);
    if (!array)
        return nullptr;
    for (size_t i = 0; i < items.count(); ++i) {
        jstring item = newStringFromText(env, items.at(i));
        if (!item)
            return nullptr;
        env->SetObjectArrayElement(array, static_cast<jsize>(i), item);
        env->DeleteLocalRef(item);
    }
    return array;
}
