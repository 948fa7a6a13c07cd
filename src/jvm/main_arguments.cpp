#include "jvm/main_arguments.h"

#include "jvm/java_strings.h"

// Arguments the code page holds are made as they always were; the others
// (a file dropped on the application whose name holds any character) take
// their UTF-16 units as the command line gave them.
jobjectArray newMainArguments(JNIEnv* env, const CommandLineArguments& arguments)
{
    jobjectArray array = newArgumentArray(env, arguments.texts());
    for (size_t i = 0; array && i < arguments.count(); ++i) {
        const Utf16Text& units = arguments.exact(i);
        if (units.isEmpty())
            continue;
        jstring item =
            env->NewString(reinterpret_cast<const jchar*>(units.units()), static_cast<jsize>(units.length()));
        if (!item)
            return nullptr;
        env->SetObjectArrayElement(array, static_cast<jsize>(i), item);
        env->DeleteLocalRef(item);
    }
    return array;
}
