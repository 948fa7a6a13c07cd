#include "runtime/version_number.h"

#include "common/message_format.h"
#include "common/text_scan.h"

#include <string.h>

namespace {

const int kLargestComponent = 2147483647;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads the run of digits at p into one component, saturating rather than
// overflowing; returns the position after the run.
const char* readComponent(const char* p, int& component)
{
    long long value = 0;
    for (; isDigit(*p); ++p) {
        value = value * 10 + (*p - '0');
        if (value > kLargestComponent)
            value = kLargestComponent;
    }
    component = static_cast<int>(value);
    return p;
}

bool allComponentsAre(const VersionNumber& version, int value)
{
    for (int component : version.components)
        if (component != value)
            return false;
    return true;
}

}

VersionNumber parseVersion(const char* text, int fill)
{
    VersionNumber version;
    size_t digit = findDigit(text);
    if (digit == kNotFound)
        return version;
    const char* p = text + digit;
    for (int i = 0; i < 4; ++i) {
        p = readComponent(p, version.components[i]);
        version.count = i + 1;
        size_t next = findDigit(p);
        if (next == kNotFound)
            break;
        p += next;
    }
    for (int i = version.count; i < 4; ++i)
        version.components[i] = fill;
    return version;
}

VersionNumber parseVersionBound(const char* text, bool isMaximum)
{
    int fill = isMaximum ? kOpenMaximumComponent : 0;
    VersionNumber version;
    if (strcmp(text, "any") == 0) {
        for (int& component : version.components)
            component = fill;
        version.count = 4;
        return version;
    }
    version = parseVersion(text, fill);
    if (isMaximum && version.count == 0)
        return parseVersionBound("any", true);
    return version;
}

int compareVersions(const VersionNumber& a, const VersionNumber& b)
{
    for (int i = 0; i < 4; ++i) {
        if (a.components[i] < b.components[i])
            return -1;
        if (a.components[i] > b.components[i])
            return 1;
    }
    return 0;
}

bool sameVersion(const VersionNumber& a, const VersionNumber& b)
{
    return compareVersions(a, b) == 0;
}

bool matchesPreferred(const VersionNumber& installed, const VersionNumber& entry)
{
    if (sameVersion(installed, entry))
        return true;
    int n = entry.count;
    if (n == 0 || n > installed.count)
        return false;
    for (int i = 0; i < n; ++i)
        if (installed.components[i] != entry.components[i])
            return false;
    return true;
}

bool isAnyVersion(const VersionNumber& version)
{
    return allComponentsAre(version, 0) || allComponentsAre(version, kOpenMaximumComponent);
}

Text formatVersion(const VersionNumber& version)
{
    int last = 3;
    while (last >= 0 && (version.components[last] == 0
                         || version.components[last] == kOpenMaximumComponent))
        --last;
    if (last < 0)
        return formatMessage("0.0.0.0", nullptr, 0);
    Text text;
    for (int i = 0; i <= last; ++i) {
        FormatValue component = version.components[i];
        Text part = formatMessage(i == 0 ? "%d" : ".%d", &component, 1);
        if (part.isEmpty() || !text.append(part))
            return Text();
    }
    return text;
}

Text requirementText(const VersionNumber& minimum, const VersionNumber& maximum)
{
    bool openMinimum = isAnyVersion(minimum);
    bool openMaximum = isAnyVersion(maximum);
    if (openMinimum && openMaximum)
        return formatMessage("latest version", nullptr, 0);
    if (openMinimum)
        return formatMessage("maximum %s", formatVersion(maximum).chars());
    if (openMaximum)
        return formatMessage("minimum %s", formatVersion(minimum).chars());
    if (sameVersion(maximum, minimum))
        return formatMessage("version %s is required", formatVersion(minimum).chars());
    return formatMessage("between %s and %s", formatVersion(minimum).chars(),
                         formatVersion(maximum).chars());
}
