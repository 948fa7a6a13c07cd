#pragma once
// Where the application's output goes when the process has no standard
// output and error of its own: Output File and Output File Limit of
// [Application].
//
//   [Application]
//   Output File=%LOCALAPPDATA%\MyApp\output.log
//   Output File Limit=1048576
#include "common/failure.h"
#include "common/text.h"
#include "config/launch_paths.h"

struct OutputFileSettings {
    Text path;                               // expanded; empty: no output file
    unsigned long long limit = 10485760;     // a larger file is renamed at the start
};

// False with the message naming the setting when the limit is not a number
// of bytes.
[[nodiscard]] bool readOutputFileSettings(const LaunchPaths& paths, OutputFileSettings& settings, Failure& failure);
// Digits alone, at most 18 of them, not 0.
bool parseOutputFileLimit(const Text& text, unsigned long long& limit);
extern const char kOutputFileLimitFormat[];
