#include "jvm/main_arguments.h"

#include "jvm/java_strings.h"

bool joinMainArguments(const TextList& fixed, const CommandLineArguments& given, CommandLineArguments& joined)
{
    for (size_t i = 0; i < fixed.count(); ++i)
        if (!joined.append(fixed.at(i)))
            return false;
    for (size_t i = 0; i < given.count(); ++i) {
        const Utf16Text& units = given.exact(i);
        bool added = units.isEmpty() ? joined.append(given.text(i))
                                     : joined.append(given.text(i), units.units(), units.length());
        if (!added)
            return false;
    }
    return true;
}

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
