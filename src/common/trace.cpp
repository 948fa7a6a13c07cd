#include "common/trace.h"

#include "platform/platform.h"

namespace {

const char kTraceVariable[] = "JAVA_LAUNCHER_TRACE";

enum class TraceState { Unknown, Off, On };
TraceState state = TraceState::Unknown;
Text traceFile;

}

bool isTracing()
{
    if (state == TraceState::Unknown)
        state = platform::environmentVariable(kTraceVariable, traceFile) && !traceFile.isEmpty()
            ? TraceState::On
            : TraceState::Off;
    return state == TraceState::On;
}

void trace(const char* format, std::initializer_list<FormatValue> values)
{
    if (!isTracing())
        return;
    Text line = formatMessage(format, values.begin(), values.size());
    if (line.appendChar('\n'))
        platform::appendToFile(traceFile.chars(), line.chars(), line.length());
}
