#pragma once
// The runtimes this system records, where a runtime keeps its libraries, and
// the processor this process is built for.
#include "common/list.h"
#include "common/text.h"
#include "common/library_processor.h"

namespace platform {

// Where a runtime keeps its libraries, relative to its home; each list ends
// with a null entry. The Java library marks a private runtime; the first VM
// library found is the one loaded.
extern const char* const kJavaLibraryPaths[];
extern const char* const kVmLibraryPaths[];
extern const char kPrivateRuntimeSubdirectory[];

// A runtime as a source on this system records it: which source, where
// (registry key, directory or variable), the home it names as written, and
// the name (a version text, or a vendor's name for a version) it is filed under.
enum class RecordKind {
    Registered, // HKLM\Software\JavaSoft\Java Runtime Environment: the name is the version
    Installed,  // a runtime directory of the system: the version is in its release file
    Vendor,     // any other: release file, else the name; a JDK's jre\ is its runtime
};

struct RuntimeRecord {
    const char* source = "";
    RecordKind kind = RecordKind::Vendor;
    Text location;
    Text home;
    Text name;
};

using RuntimeRecords = List<RuntimeRecord>;

// Every runtime recorded on this system, source after source in search order,
// each source's records in the order it enumerates them. Sources that are not
// there, and records without a home, give nothing.
void recordedRuntimes(RuntimeRecords& records);

// The processor this process's own code is built for, as a library's
// headers name it: a library for another can never be loaded.
extern const LibraryProcessor kThisProcessor;

}
