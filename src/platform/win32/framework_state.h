#pragma once
// The window framework's state, for the Windows platform code: the program
// instance its window classes belong to.
#include <windows.h>

HINSTANCE programInstance();
// Classes registered by the framework are unregistered when the state ends.
void rememberRegisteredClass(const char* className);
