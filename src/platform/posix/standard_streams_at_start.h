#pragma once
// The standard streams as the process found them, recorded at its entry
// before anything is opened: a closed one gets /dev/null, so that no file
// the launcher opens takes its number (the trace file would become the
// application's standard output). A write past the file size limit fails
// from then on, rather than end the process.
namespace platform {

void recordStandardStreamsAtStart();

}
