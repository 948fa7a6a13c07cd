#pragma once
// The tool's command line, which scripts and build tools rely on:
//
//   brand --in launcher.exe --out MyApp.exe [--icon FILE]... [--file-version A.B.C.D]
//         [--product-version A.B.C.D] [--description TEXT] [--product-name TEXT]
//         [--company TEXT] [--copyright TEXT] [--console | --gui]
//         [--execution-level asInvoker|highestAvailable|requireAdministrator]
//         [--dpi-aware none|system|per-monitor-v2]
#include "branding.h"
#include "outcome.h"

#include <string>
#include <vector>

struct CommandLine {
    bool help = false;
    std::string input;
    std::string output;
    std::vector<std::string> iconPaths;
    Identity identity;
    ManifestSettings manifest;
    std::optional<Subsystem> subsystem;
};

// arguments: without the program's name.
Outcome<CommandLine> parseCommandLine(const std::vector<std::string>& arguments);

extern const char kUsage[];
