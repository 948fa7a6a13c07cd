#include "jvm/vm_output.h"

#include "common/memory.h"
#include "common/output_tail.h"

namespace {

// What a box shows of the machine's words at most: its last lines, since
// the last ones say what went wrong and a taller box would leave the screen.
const size_t kShownReason = 4000;

struct VmStart {
    bool starting = false;
    FailureReport report = { nullptr, nullptr };
    Text failureMessage;
    ExitHookFunction chained = nullptr;
    OutputTail printed;
};
// The hooks take no context: the one machine of the process has one start.
VmStart vmStart;

void appendShownPart(Text& message, const Text& said)
{
    size_t start = 0;
    if (said.length() > kShownReason) {
        start = said.length() - kShownReason;
        while (start < said.length() && said.at(start - 1) != '\n')
            ++start;
    }
    // Without memory for the machine's words the message stands alone.
    (void)message.append(said.chars() + start, said.length() - start);
}

// Where messages go to standard error the machine's words are already there,
// and the process ends as it would under java: nothing is added.
void reportEndDuringStart()
{
    if (!vmStart.starting || !platform::messagesShownInBox())
        return;
    vmStart.starting = false;
    Text message = withVmReason(vmStart.failureMessage.chars());
    if (message.isEmpty() || !vmStart.report.show)
        return;
    Failure failure;
    failWithText(failure, vmStart.failureMessage.isEmpty() ? "" : kJniExceptionFormat, static_cast<Text&&>(message));
    vmStart.report.show(failure, vmStart.report.context);
}

}

jint JNICALL vmPrintHook(FILE* stream, const char* format, va_list arguments)
{
    char small[1024];
    char* text = small;
    MemoryBlock large;
    va_list copy;
    va_copy(copy, arguments);
    int length = platform::formatToBuffer(small, sizeof small, format, copy);
    va_end(copy);
    // Longer texts (a long option echoed, a class path) get what they need.
    for (size_t size = 4 * sizeof small; length < 0 && size <= OutputTail::kBound; size *= 4) {
        large.reset(static_cast<char*>(allocateMemory(size)));
        if (!large.isValid())
            break;
        va_copy(copy, arguments);
        length = platform::formatToBuffer(large.get(), size, format, copy);
        va_end(copy);
        text = large.get();
    }
    if (length < 0)
        return 0;
    if (vmStart.starting)
        vmStart.printed.append(text, static_cast<size_t>(length));
    platform::passOnVmOutput(stream, text, static_cast<size_t>(length));
    return length;
}

void JNICALL vmAbortHook()
{
    // The machine then ends the process as it would without the hook.
    reportEndDuringStart();
}

void JNICALL vmExitHook(jint code)
{
    if (code != 0)
        reportEndDuringStart();
    if (vmStart.chained)
        vmStart.chained(code);
}

void beginVmStart(const FailureReport& report, ExitHookFunction chained)
{
    vmStart.report = report;
    vmStart.chained = chained;
    vmStart.printed.clear();
    vmStart.starting = true;
    platform::startCapturingStandardStreams();
}

void setVmStartFailure(const char* message)
{
    vmStart.failureMessage = Text(message);
}

void endVmStart()
{
    vmStart.starting = false;
    platform::stopCapturingStandardStreams();
}

Text withVmReason(const char* message)
{
    Text result(message);
    if (!platform::messagesShownInBox())
        return result;
    Text said;
    Text streams;
    platform::capturedStandardStreams(streams);
    if (vmStart.printed.appendTo(said) && said.append(streams))
        appendShownPart(result, said);
    return result;
}
