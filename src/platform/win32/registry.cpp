#include "platform/win32/registry.h"

#include "common/memory.h"

namespace {

// Opened for reading in the process's own view, so that a 32-bit launcher
// sees what 32-bit runtimes registered.
RegistryKey openKey(HKEY hive, const char* path)
{
    RegistryKey key;
    if (RegOpenKeyExA(hive, path, 0, KEY_READ, key.replaceAddress()) != ERROR_SUCCESS)
        key.release();
    return key;
}

}

bool readSubkeyNames(HKEY hive, const char* path, TextList& names)
{
    RegistryKey key = openKey(hive, path);
    if (!key.isValid())
        return false;
    char name[260];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof name;
        // A name that cannot get memory ends the list as an error would.
        if (RegEnumKeyExA(key.get(), index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS
            || !names.append(name, size))
            return true;
    }
}

bool readStringValue(HKEY hive, const char* path, const char* valueName, Text& text)
{
    RegistryKey key = openKey(hive, path);
    DWORD size = 0;
    if (!key.isValid()
        || RegQueryValueExA(key.get(), valueName, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
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
