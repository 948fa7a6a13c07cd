#include "launcher/trace_file.h"

#include "common/text.h"
#include "common/trace.h"
#include "platform/files.h"
#include "platform/process.h"

namespace {

const char kTraceVariable[] = "JAVA_LAUNCHER_TRACE";

// Opened once and kept for the process: opening the file for each line made a
// launch with a million options take several times as long.
platform::OpenFile traceFile;

void appendToTraceFile(const char* line, size_t length)
{
    platform::appendToOpenFile(traceFile.get(), line, length);
}

}

void openTraceFile()
{
    Text path;
    if (platform::environmentVariable(kTraceVariable, path) && !path.isEmpty())
        traceFile = platform::openForAppending(path.chars());
    if (traceFile.isValid())
        setTraceOutput(appendToTraceFile);
}
