#include "runtime/runtime_layout.h"

#include "platform/files.h"
#include "platform/runtime_sources.h"

#include <string.h>

namespace {

Text firstExisting(const Text& directory, const char* const* relativePaths)
{
    for (const char* const* relative = relativePaths; *relative; ++relative) {
        Text path;
        if (path.assign(directory) && path.append(*relative) && platform::fileExists(path.chars()))
            return path;
    }
    return Text();
}

// The library's own folder is named after its kind: bin\server\jvm.dll, lib/server/libjvm.so.
bool isOfKind(const char* relativePath, const char* kind)
{
    const char* found = strstr(relativePath, kind);
    return found && found > relativePath && found[-1] == platform::kPathSeparator
        && found[strlen(kind)] == platform::kPathSeparator;
}

}

bool hasJavaLibrary(const Text& directory)
{
    return !firstExisting(directory, platform::kJavaLibraryPaths).isEmpty();
}

Text findJvmLibrary(const Text& runtimeHome, const char* kind)
{
    for (const char* const* relative = platform::kVmLibraryPaths; *relative && *kind; ++relative) {
        Text path;
        if (isOfKind(*relative, kind) && path.assign(runtimeHome) && path.append(*relative)
            && platform::fileExists(path.chars()))
            return path;
    }
    return firstExisting(runtimeHome, platform::kVmLibraryPaths);
}
