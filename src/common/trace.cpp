#include "common/trace.h"

#include "platform/files.h"
#include "platform/process.h"

namespace {

const char kTraceVariable[] = "JAVA_LAUNCHER_TRACE";

enum class TraceState { Unknown, Off, On };
TraceState state = TraceState::Unknown;
// Opened with the first line and kept for the process: opening the file for
// each line made a launch with a million options take several times as long.
platform::OpenFile traceFile;

}

bool isTracing()
{
    if (state == TraceState::Unknown) {
        Text path;
        if (platform::environmentVariable(kTraceVariable, path) && !path.isEmpty())
            traceFile = platform::openForAppending(path.chars());
        state = traceFile.isValid() ? TraceState::On : TraceState::Off;
    }
    return state == TraceState::On;
}

void trace(const char* format, std::initializer_list<FormatValue> values)
{
    if (!isTracing())
        return;
    Text line = formatMessage(format, values.begin(), values.size());
    if (line.appendChar('\n'))
        platform::appendToOpenFile(traceFile.get(), line.chars(), line.length());
}
