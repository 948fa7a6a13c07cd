#pragma once
// The section [Environment] of the settings file: each key names a variable
// that is set for the process, and so for the virtual machine and the
// application, before anything else is read and before the runtime is
// loaded, in the order written:
//
//   [Environment]
//   PATH=%APPDIR%\native;%PATH%
//   MYAPP_HOME=%APPDIR%
//   MYAPP_DEBUG=
//
// A value's names are expanded against the environment as the earlier lines
// left it; an empty value removes the variable.
#include "common/failure.h"
#include "common/text.h"
#include "common/text_list.h"
#include "config/launch_paths.h"

// Sets the variables of the section; false with the message when a line names
// no variable, or one the system does not take.
[[nodiscard]] bool applyEnvironmentSettings(const LaunchPaths& paths, Failure& failure);
// The same for names and values as the section gave them.
[[nodiscard]] bool applyEnvironment(const TextList& names, const TextList& values, const Text& executableDirectory,
                                    Failure& failure);

extern const char kNamelessVariableFormat[];
extern const char kVariableNotSetFormat[];
