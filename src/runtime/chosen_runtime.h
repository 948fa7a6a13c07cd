#pragma once
// The runtime a launch uses, with what the later steps need to know of it,
// each read once, while the runtime is chosen: its version, the VM library
// that is loaded and its bin folder; the processor is checked on that very
// library.
//
//   ChosenRuntime runtime;
//   runtime.home = home;
//   if (findVmLibrary("server", runtime) == VmLibraryFit::Fits) ... loadVmLibrary(runtime.vmLibraryPath, ...)
#include "common/text.h"
#include "runtime/version_number.h"

struct ChosenRuntime {
    Text home;                     // ends in a separator
    VersionNumber version;         // what the choice went by; a private runtime's, from its release file
    Text versionText;              // the JAVA_VERSION of the home's release file; empty without one
    Text vmLibraryPath;            // the VM library that is loaded: of the kind -client or -server asks for
    Text binDirectory;             // where its own libraries lie: bin\ beside bin\server\jvm.dll
    bool processorChecked = false; // its headers were read: a chosen one's name this process's processor
};

enum class VmLibraryFit {
    Fits,           // this process can load it, or its headers could not be read (the loader then says why)
    Missing,        // the home has no VM library, or its paths could not get memory
    OtherProcessor, // built for another processor than this process's: it could never be loaded
};

// The home's VM library of the kind ("client", "server", as -client and
// -server ask) when it has one, else its first, as the java command drops a
// kind a runtime lacks; its bin folder, and whether its processor fits.
VmLibraryFit findVmLibrary(const char* kind, ChosenRuntime& runtime);
