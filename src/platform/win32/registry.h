#pragma once
// Reading the registry: subkey names and string values, nothing ever written.
#include "common/text_list.h"
#include "common/unique_handle.h"

#include <windows.h>

using RegistryKey = UniqueHandle<HKEY, RegCloseKey>;

// The names of the key's subkeys in the order the registry gives them, up to
// the first that cannot be read; false when the key cannot be opened.
bool readSubkeyNames(HKEY hive, const char* path, TextList& names);
// A value of any type read as text; data without a terminating NUL ends at
// its stored length. False when the key or the value cannot be read.
bool readStringValue(HKEY hive, const char* path, const char* valueName, Text& text);
