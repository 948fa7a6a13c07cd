#pragma once
// Owners of the kernel handles the Windows platform code opens.
#include "common/unique_handle.h"

#include <windows.h>

using File = UniqueHandle<HANDLE, CloseHandle, -1>;
using FindHandle = UniqueHandle<HANDLE, FindClose, -1>;
// Events, threads: any kernel object whose failure value is null.
using KernelObject = UniqueHandle<HANDLE, CloseHandle>;
using ThreadHandle = KernelObject;
