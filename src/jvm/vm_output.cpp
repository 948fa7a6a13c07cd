#include "jvm/vm_output.h"

#include "common/growing_buffer.h"
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
    // Longer texts (a long option echoed, a class path) get what they need.
    Text text;
    GrowResult formatted = fillGrowingBuffer(1024, OutputTail::kBound, text,
                                             [&](char* buffer, size_t size, size_t& length) {
        va_list copy;
        va_copy(copy, arguments);
        int written = platform::formatToBuffer(buffer, size, format, copy);
        va_end(copy);
        length = written < 0 ? 0 : static_cast<size_t>(written);
        return written < 0 ? FillResult::TooSmall : FillResult::Complete;
    });
    if (formatted != GrowResult::Complete)
        return 0;
    if (vmStart.starting)
        vmStart.printed.append(text.chars(), text.length());
    platform::passOnVmOutput(stream, text.chars(), text.length());
    return static_cast<jint>(text.length());
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
