#pragma once
// The application's output in a file (Output File of [Application]): when
// the process has no standard output or error of its own, the file takes
// them, before the runtime is loaded, for the whole run; each start appends
// after a heading, a file over the limit at the start is renamed to the same
// name with ".1" added, and a run stops writing at twice the limit. Nothing
// here ever stops the launch: what goes wrong is said in the trace, and the
// application runs on as it would without the setting.
#include "common/text.h"
#include "config/output_file_settings.h"

// When the file takes the missing streams, the boxes name it from then on.
// The settings live as long as the launch.
void startOutputFile(const OutputFileSettings& settings, const Text& executablePath);
