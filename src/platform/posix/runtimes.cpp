#include "platform/platform.h"

#include "platform/posix/file_contents.h"

#include <dirent.h>
#include <stdlib.h>
#include <string.h>

// Runtimes older than Java 9 keep their libraries one level deeper, under
// the architecture's name.
#if defined(__x86_64__)
#define RUNTIME_ARCH "amd64"
#elif defined(__aarch64__)
#define RUNTIME_ARCH "aarch64"
#else
#define RUNTIME_ARCH "i386"
#endif

namespace {

const char kRuntimesDirectory[] = "/usr/lib/jvm/";

// The value of a line NAME="value" (or NAME=value) of a runtime's release file.
bool releaseValue(const Text& contents, const char* name, Text& value)
{
    size_t nameLength = strlen(name);
    const char* p = contents.chars();
    while (*p) {
        const char* lineEnd = strchr(p, '\n');
        size_t length = lineEnd ? static_cast<size_t>(lineEnd - p) : strlen(p);
        if (length > nameLength && strncmp(p, name, nameLength) == 0 && p[nameLength] == '=') {
            const char* start = p + nameLength + 1;
            const char* end = p + length;
            if (end > start && end[-1] == '\r')
                --end;
            if (end - start >= 2 && *start == '"' && end[-1] == '"') {
                ++start;
                --end;
            }
            return value.assign(start, static_cast<size_t>(end - start));
        }
        p += length + (lineEnd ? 1 : 0);
    }
    return false;
}

}

namespace platform {

const char* const kJavaLibraryPaths[] = {
    "lib/libjava.so", "lib/" RUNTIME_ARCH "/libjava.so", nullptr,
};
const char* const kVmLibraryPaths[] = {
    "lib/client/libjvm.so", "lib/server/libjvm.so",
    "lib/" RUNTIME_ARCH "/client/libjvm.so", "lib/" RUNTIME_ARCH "/server/libjvm.so",
    nullptr,
};
const char kPrivateRuntimeSubdirectory[] = "jre/";

void registeredRuntimeNames(TextList& names)
{
    struct dirent** entries = nullptr;
    int count = scandir(kRuntimesDirectory, &entries, nullptr, alphasort);
    if (count < 0)
        return;
    for (int i = 0; i < count; ++i) {
        // A name that cannot get memory is left out, as a runtime that is not there.
        if (entries[i]->d_name[0] != '.')
            (void)names.append(entries[i]->d_name);
        free(entries[i]);
    }
    free(entries);
}

bool registeredRuntimeVersion(const char* name, Text& versionText)
{
    Text releaseFile(kRuntimesDirectory);
    if (!releaseFile.append(name) || !releaseFile.append("/release"))
        return false;
    Text contents;
    return readRegularFile(releaseFile.chars(), contents) && releaseValue(contents, "JAVA_VERSION", versionText);
}

bool registeredRuntimeHome(const char* name, Text& home)
{
    return home.assign(kRuntimesDirectory, strlen(kRuntimesDirectory)) && home.append(name);
}

}
