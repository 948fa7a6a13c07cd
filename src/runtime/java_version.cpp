#include "runtime/java_version.h"

#include "common/text_scan.h"
#include "platform/files.h"

#include <string.h>

namespace {

const char kVersionName[] = "JAVA_VERSION";
const char kReleaseFile[] = "release";
const size_t kReleaseFileLimit = 65536;

}

bool runtimeReleaseVersion(const Text& home, Text& versionText)
{
    Text path;
    Text contents;
    return path.assign(home) && endWithCharacter(path, platform::kPathSeparator) && path.append(kReleaseFile)
        && platform::readFileStart(path.chars(), kReleaseFileLimit, contents)
        && releaseFileVersion(contents, versionText);
}

bool releaseFileVersion(const Text& contents, Text& versionText)
{
    size_t nameLength = strlen(kVersionName);
    const char* p = contents.chars();
    const char* end = p + contents.length();
    while (p < end) {
        const char* lineEnd = static_cast<const char*>(memchr(p, '\n', static_cast<size_t>(end - p)));
        if (!lineEnd)
            lineEnd = end;
        if (static_cast<size_t>(lineEnd - p) > nameLength && memcmp(p, kVersionName, nameLength) == 0
            && p[nameLength] == '=') {
            const char* start = p + nameLength + 1;
            const char* stop = lineEnd;
            if (stop > start && stop[-1] == '\r')
                --stop;
            if (stop - start >= 2 && *start == '"' && stop[-1] == '"') {
                ++start;
                --stop;
            }
            return versionText.assign(start, static_cast<size_t>(stop - start));
        }
        p = lineEnd + 1;
    }
    return false;
}

VersionNumber javaVersion(const char* text)
{
    VersionNumber version = parseVersion(text, 0);
    int feature = version.components[0];
    if (version.count == 0 || feature < 2 || feature > 8)
        return version;
    for (int i = 3; i > 0; --i)
        version.components[i] = version.components[i - 1];
    version.components[0] = 1;
    version.count = version.count < 4 ? version.count + 1 : 4;
    return version;
}
