#include "platform/platform.h"

#include "common/memory.h"

#include <windows.h>

namespace {

const char kRuntimesKey[] = "Software\\JavaSoft\\Java Runtime Environment";
const char kJavaHomeValue[] = "JavaHome";

// A registry key opened for reading in the process's own view; null when the
// key could not be opened, which every read below treats as "no data".
class RegistryKey {
public:
    explicit RegistryKey(const char* path)
    {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey()
    {
        if (key_)
            RegCloseKey(key_);
    }
    HKEY handle() const { return key_; }

private:
    HKEY key_ = nullptr;
};

void enumerateSubkeys(const RegistryKey& key, TextList& names)
{
    if (!key.handle())
        return;
    char name[260];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key.handle(), index, name, &size, nullptr, nullptr, nullptr, nullptr)
            != ERROR_SUCCESS)
            return;
        names.append(name, size);
    }
}

// Any value type is read as text; data without a terminating NUL ends at its
// stored length.
bool readStringValue(const RegistryKey& key, const char* valueName, Text& text)
{
    if (!key.handle())
        return false;
    DWORD size = 0;
    if (RegQueryValueExA(key.handle(), valueName, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS
        || size == 0)
        return false;
    char* data = static_cast<char*>(allocateMemory(size));
    if (!data)
        return false;
    bool read = RegQueryValueExA(key.handle(), valueName, nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
    if (read) {
        DWORD length = 0;
        while (length < size && data[length])
            ++length;
        read = text.assign(data, length);
    }
    releaseMemory(data);
    return read;
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
    RegistryKey runtimes(kRuntimesKey);
    enumerateSubkeys(runtimes, names);
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
    RegistryKey runtime(path.chars());
    return readStringValue(runtime, kJavaHomeValue, home);
}

}
