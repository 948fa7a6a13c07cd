#pragma once
// Owners of the kernel handles the Windows platform code opens.
#include "common/unique_handle.h"

#include <windows.h>

using File = UniqueHandle<HANDLE, CloseHandle, -1>;
using FindHandle = UniqueHandle<HANDLE, FindClose, -1>;
using ThreadHandle = UniqueHandle<HANDLE, CloseHandle>;
