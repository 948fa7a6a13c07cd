#include "jvm/exception_text.h"

#include "common/message_format.h"

#include <string.h>

namespace {

const char kClassVersionFormat[] =
    "The main class needs Java %d or later, and the runtime that was chosen is Java %s. "
    "The setting Minimum Version chooses the runtime.\n";
const char kClassVersionUnknownRuntimeFormat[] =
    "The main class needs Java %d or later, which the runtime that was chosen is not. "
    "The setting Minimum Version chooses the runtime.\n";
const char kClassFileVersion[] = "class file version ";
const char kCausedBy[] = "Caused by: ";
const char kFrame[] = "\tat ";
// A cause that leads back to an earlier one would never end.
const int kMostCauses = 8;

// Appends the object's toString; false, with nothing pending, when it cannot.
bool appendToString(JNIEnv* env, jobject object, jmethodID toString, Text& text)
{
    jstring string = static_cast<jstring>(env->CallObjectMethod(object, toString));
    const char* utf = string && !env->ExceptionCheck() ? env->GetStringUTFChars(string, nullptr) : nullptr;
    bool appended = utf && text.append(utf);
    if (utf)
        env->ReleaseStringUTFChars(string, utf);
    if (env->ExceptionCheck())
        env->ExceptionClear();
    if (string)
        env->DeleteLocalRef(string);
    return appended;
}

void appendFrames(JNIEnv* env, jthrowable thrown, jclass throwable, jmethodID toString, int frames, Text& text)
{
    jmethodID getStackTrace = env->GetMethodID(throwable, "getStackTrace", "()[Ljava/lang/StackTraceElement;");
    jobjectArray trace =
        getStackTrace ? static_cast<jobjectArray>(env->CallObjectMethod(thrown, getStackTrace)) : nullptr;
    if (env->ExceptionCheck())
        env->ExceptionClear();
    if (!trace)
        return;
    jsize count = env->GetArrayLength(trace);
    for (jsize i = 0; i < count && i < frames; ++i) {
        jobject frame = env->GetObjectArrayElement(trace, i);
        if (!frame || !text.append(kFrame) || !appendToString(env, frame, toString, text) || !text.appendChar('\n'))
            break;
        env->DeleteLocalRef(frame);
    }
    if (env->ExceptionCheck())
        env->ExceptionClear();
    env->DeleteLocalRef(trace);
}

}

Text throwableText(JNIEnv* env, jthrowable thrown, int frames)
{
    Text text;
    jclass object = env->FindClass("java/lang/Object");
    jclass throwable = object ? env->FindClass("java/lang/Throwable") : nullptr;
    jmethodID toString = throwable ? env->GetMethodID(object, "toString", "()Ljava/lang/String;") : nullptr;
    jmethodID getCause = toString ? env->GetMethodID(throwable, "getCause", "()Ljava/lang/Throwable;") : nullptr;
    if (!getCause) {
        env->ExceptionClear();
        return text;
    }
    for (int i = 0; thrown && i <= kMostCauses; ++i) {
        if ((i > 0 && !text.append(kCausedBy)) || !appendToString(env, thrown, toString, text)
            || !text.appendChar('\n'))
            break;
        if (i == 0 && frames > 0)
            appendFrames(env, thrown, throwable, toString, frames, text);
        jthrowable cause = static_cast<jthrowable>(env->CallObjectMethod(thrown, getCause));
        if (env->ExceptionCheck()) {
            env->ExceptionClear();
            break;
        }
        if (cause && env->IsSameObject(cause, thrown))
            break;
        thrown = cause;
    }
    return text;
}

int classFileVersionIn(const char* text)
{
    const char* found = strstr(text, kClassFileVersion);
    if (!found)
        return 0;
    int version = 0;
    for (const char* digit = found + sizeof kClassFileVersion - 1; *digit >= '0' && *digit <= '9'; ++digit) {
        version = version * 10 + (*digit - '0');
        if (version > 100000)
            return 0;
    }
    return version;
}

Text classVersionAdvice(const char* exceptionText, const char* runtimeVersion)
{
    int version = classFileVersionIn(exceptionText);
    // Class file version 45 is Java 1.0 and 1.1; from 49 (Java 5) on, N is Java N - 44.
    if (version < 49)
        return Text();
    int java = version - 44;
    if (!*runtimeVersion) {
        FormatValue value(java);
        return formatMessage(kClassVersionUnknownRuntimeFormat, &value, 1);
    }
    FormatValue values[] = { java, runtimeVersion };
    return formatMessage(kClassVersionFormat, values, 2);
}
