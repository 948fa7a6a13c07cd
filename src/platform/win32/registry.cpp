#include "platform/platform.h"

#include "common/memory.h"

#include <windows.h>

namespace {

const char kRuntimesKey[] = "Software\\JavaSoft\\Java Runtime Environment";
const char kJavaHomeValue[] = "JavaHome";

// A registry key opened for reading in the process's own view; invalid when
// the key could not be opened, which every read below treats as "no data".
using RegistryKey = UniqueHandle<HKEY, RegCloseKey>;

RegistryKey openRuntimeKey(const char* path)
{
    RegistryKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.replaceAddress()) != ERROR_SUCCESS)
        key.release();
    return key;
}

void enumerateSubkeys(const RegistryKey& key, TextList& names)
{
    if (!key.isValid())
        return;
    char name[260];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof name;
        // A name that cannot get memory ends the list as an error would.
        if (RegEnumKeyExA(key.get(), index, name, &size, nullptr, nullptr, nullptr, nullptr)
                != ERROR_SUCCESS
            || !names.append(name, size))
            return;
    }
}

// Any value type is read as text; data without a terminating NUL ends at its
// stored length.
bool readStringValue(const RegistryKey& key, const char* valueName, Text& text)
{
    if (!key.isValid())
        return false;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), valueName, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS
        || size == 0)
        return false;
    MemoryBlock data(static_cast<char*>(allocateMemory(size)));
    if (!data.isValid()
        || RegQueryValueExA(key.get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(data.get()), &size)
            != ERROR_SUCCESS)
        return false;
    DWORD length = 0;
    while (length < size && data.get()[length])
        ++length;
    return text.assign(data.get(), length);
}

}

namespace platform {

const char* const kJavaLibraryPaths[] = { "bin\\java.dll", nullptr };
const char* const kVmLibraryPaths[] = {
    "bin\\client\\jvm.dll", "bin\\server\\jvm.dll", "bin\\classic\\jvm.dll", "bin\\hotspot\\jvm.dll",
    nullptr,
};
const char kPrivateRuntimeSubdirectory[] = "jre\\";

void registeredRuntimeNames(TextList& names)
{
    enumerateSubkeys(openRuntimeKey(kRuntimesKey), names);
}

bool registeredRuntimeVersion(const char* name, Text& versionText)
{
    return versionText.assign(name, lstrlenA(name));
}

bool registeredRuntimeHome(const char* name, Text& home)
{
    Text path(kRuntimesKey);
    if (!path.appendChar('\\') || !path.append(name))
        return false;
    return readStringValue(openRuntimeKey(path.chars()), kJavaHomeValue, home);
}

}
