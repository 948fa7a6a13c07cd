#include "jvm/main_arguments.h"

#include "jvm/java_strings.h"

// Arguments the code page holds are made as they always were; the others
// (a file dropped on the application whose name holds any character) take
// their UTF-16 units as the command line gave them.
jobjectArray newMainArguments(JNIEnv* env, const TextList& arguments, const TextList& wideArguments)
{
    jobjectArray array = newArgumentArray(env, arguments);
    for (size_t i = 0; array && i < wideArguments.count(); ++i) {
        const Text& units = wideArguments.at(i);
        if (units.isEmpty())
            continue;
        jstring item = env->NewString(reinterpret_cast<const jchar*>(units.chars()),
                                      static_cast<jsize>(units.length() / sizeof(jchar)));
        if (!item)
            return nullptr;
        env->SetObjectArrayElement(array, static_cast<jsize>(i), item);
        env->DeleteLocalRef(item);
    }
    return array;
}
