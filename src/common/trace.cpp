#include "common/trace.h"

namespace {

TraceOutput traceOutput = nullptr;

}

void setTraceOutput(TraceOutput output)
{
    traceOutput = output;
}

bool isTracing()
{
    return traceOutput != nullptr;
}

void trace(const char* format, std::initializer_list<FormatValue> values)
{
    if (!isTracing())
        return;
    Text line = formatMessage(format, values.begin(), values.size());
    if (line.appendChar('\n'))
        traceOutput(line.chars(), line.length());
}
