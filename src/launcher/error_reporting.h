#pragma once
// The one place that tells the user why the application cannot start: a modal
// error box, owned by the given window (or by none), closed by the user before
// the call returns.
#include "platform/platform.h"

void showErrorBox(platform::WindowHandle owner, const char* text);
// Shows the text as it is; a percent sign in it is not a conversion.
void reportError(const char* text, platform::WindowHandle owner);
void reportFormatted(platform::WindowHandle owner, const char* format, const char* text);
void reportFormatted(platform::WindowHandle owner, const char* format, const char* first, const char* second);
void reportSystemError(platform::WindowHandle owner, const char* format, const char* text, int code);

extern const char kWindowsExceptionFormat[];
extern const char kComErrorFormat[];
extern const char kJniExceptionFormat[];
// When a setting or an argument cannot get memory, the launch stops rather
// than go on without it.
extern const char kOutOfMemoryMessage[];
