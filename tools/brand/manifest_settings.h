#pragma once
// The manifest settings an application's owner decides: the execution level
// Windows grants the process (the trustInfo element) and how it handles
// screen scaling (dpiAware, dpiAwareness), and whether its ANSI code page is
// UTF-8 (activeCodePage). Everything else in the manifest,
// the assembly identity and the common-controls dependency among it, stays
// as it is.
#include "outcome.h"

#include <optional>
#include <string>

enum class ExecutionLevel { AsInvoker, HighestAvailable, RequireAdministrator };
enum class DpiAwareness { None, System, PerMonitorV2 };

struct ManifestSettings {
    std::optional<ExecutionLevel> executionLevel;
    std::optional<DpiAwareness> dpiAwareness;
    bool utf8CodePage = false;

    bool any() const { return executionLevel || dpiAwareness || utf8CodePage; }
};

// existing: the manifest's text, or null for an executable without one. The
// result always asks for an execution level: the given one, else the one it
// had, else asInvoker (without one Windows guesses from the file's name
// whether it is an installer).
Outcome<std::string> applyManifestSettings(const std::string* existing, const ManifestSettings& settings);
