#pragma once
// Between the output file's pipe (output_file.cpp) and the capture of what
// the machine writes while it starts (standard_streams.cpp): with an output
// file, the capture keeps what the file's reader reads, rather than put a
// pipe of its own in the file's way.
#include <stddef.h>

namespace platform {

// Records the process's own standard handles, before the output file takes
// their place, and readies the capture for the reader's bytes.
void prepareCaptureOfOutputFile();
// The reader's bytes, kept while the capture keeps.
void keepCapturedOutput(const char* bytes, size_t length);

}
