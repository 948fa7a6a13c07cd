#pragma once
// The window framework's per-module state, for the Windows platform code.
#include <windows.h>

HINSTANCE moduleInstance();
// Classes registered by the framework are unregistered when the module state ends.
void rememberRegisteredClass(const char* className);
