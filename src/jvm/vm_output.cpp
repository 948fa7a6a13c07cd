#include "jvm/vm_output.h"

#include "common/growing_buffer.h"
#include "common/output_tail.h"
#include "common/text_scan.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/standard_streams.h"
#include "platform/threads.h"

#include <stdint.h>

namespace {

// What a box shows of the machine's words at most: its last lines, since
// the last ones say what went wrong and a taller box would leave the screen.
const size_t kShownReason = 4000;

struct VmStart {
    // The machine prints from several threads at once (its logging locks
    // each stream apart) and may end the process from any of them: the rest
    // is read and written under this lock.
    platform::Lock lock;
    bool starting = false;
    bool exitHookWanted = false;
    // Set before the machine is created: its threads read them without the lock.
    FailureReport report = { nullptr, nullptr };
    ExitHookFunction chained = nullptr;
    Text failureMessage;
    OutputTail printed;
};
// Global, as the machine's hooks take no context: the one machine of the
// process has one start.
VmStart vmStart;
// How long an end of the process waits for the lock. A print holds it for
// one copy into the tail; a thread that holds it longer is stuck, or is this
// very thread, ended while it printed. Waiting for it would hang the end,
// which then goes as under java, without a box.
const unsigned long kEndLockWait = 200;

// The message followed by what the box shows of the machine's words: those
// it printed through the hook, then those it wrote to its standard streams.
bool withShownReason(const char* message, bool printedKept, Text& printed, Text& result)
{
    if (!result.assign(message))
        return false;
    Text streams;
    platform::capturedStandardStreams(streams);
    if (printedKept && printed.append(streams))
        appendShownReason(result, printed);
    return true;
}

// Where messages go to standard error the machine's words are already there,
// and the process ends as it would under java: nothing is added. The box is
// shown without the lock: the machine's other threads go on printing.
void reportEndDuringStart()
{
    if (!platform::messagesShownInBox())
        return;
    Text failureMessage;
    Text printed;
    bool printedKept = false;
    {
        platform::LockHolder held(vmStart.lock, kEndLockWait);
        if (!held.holds() || !vmStart.starting)
            return;
        vmStart.starting = false;
        // Without memory for the message there is nothing to tell.
        if (!failureMessage.assign(vmStart.failureMessage))
            return;
        printedKept = vmStart.printed.appendTo(printed);
    }
    Text message;
    if (!withShownReason(failureMessage.chars(), printedKept, printed, message) || message.isEmpty()
        || !vmStart.report.show)
        return;
    Failure failure;
    failWithText(failure, failureMessage.isEmpty() ? "" : kJniExceptionFormat, static_cast<Text&&>(message));
    vmStart.report.show(failure, vmStart.report.context);
}

}

jint JNICALL vmPrintHook(FILE* stream, const char* format, va_list arguments)
{
    // However long the text (an option echoed, a class path, all the flags),
    // it is passed on whole: only the tail is bounded.
    Text text;
    GrowResult formatted = fillGrowingBuffer(1024, SIZE_MAX, text, [&](char* buffer, size_t size, size_t& length) {
        va_list copy;
        va_copy(copy, arguments);
        int written = platform::formatToBuffer(buffer, size, format, copy);
        va_end(copy);
        length = written < 0 ? 0 : static_cast<size_t>(written);
        if (written == platform::kFormatFailed)
            return FillResult::Failed;
        return written < 0 ? FillResult::TooSmall : FillResult::Complete;
    });
    // Without memory for the text, or when the C runtime cannot format it,
    // the C runtime prints what it can where the text would have gone;
    // nothing of it is kept.
    if (formatted != GrowResult::Complete)
        return platform::printVmOutputDirectly(stream, format, arguments);
    // Passed on through the output file's pipe, the text is kept by the
    // capture, in order with what the machine writes itself.
    if (!platform::passOnVmOutput(stream, text.chars(), text.length())) {
        platform::LockHolder held(vmStart.lock);
        if (vmStart.starting)
            vmStart.printed.append(text.chars(), text.length());
    }
    return static_cast<jint>(text.length());
}

void JNICALL vmAbortHook()
{
    // The machine then ends the process as it would without the hook.
    reportEndDuringStart();
    platform::finishOutputFile();
}

// System.exit ends the process here, without the launcher's own end: what
// the application wrote last must reach the output file first.
void JNICALL vmExitHook(jint code)
{
    if (code != 0)
        reportEndDuringStart();
    platform::finishOutputFile();
    if (vmStart.chained)
        vmStart.chained(code);
}

namespace {

// What the application wrote last reaches the output file before a chained
// hook may end the process at once (a restart).
void callChainedAtExit(int code)
{
    platform::finishOutputFile();
    if (vmStart.chained)
        vmStart.chained(static_cast<jint>(code));
}

}

void VmStartCapture::begin(const FailureReport& report, ExitHookFunction chained)
{
    capturing_ = true;
    {
        platform::LockHolder held(vmStart.lock);
        vmStart.report = report;
        vmStart.chained = chained;
        vmStart.printed.clear();
        vmStart.starting = true;
    }
    bool atExitWanted = chained || platform::outputFileTakesStreams();
    vmStart.exitHookWanted = platform::messagesShownInBox() || (atExitWanted && !platform::runAtExit(callChainedAtExit));
    platform::startCapturingStandardStreams();
}

size_t chosenVmHooks(VmHook (&hooks)[kMostVmHooks])
{
    size_t count = 0;
    if (platform::messagesShownInBox()) {
        hooks[count++] = { "vfprintf", reinterpret_cast<void*>(vmPrintHook) };
        hooks[count++] = { "abort", reinterpret_cast<void*>(vmAbortHook) };
    }
    if (vmStart.exitHookWanted)
        hooks[count++] = { "exit", reinterpret_cast<void*>(vmExitHook) };
    return count;
}

bool setVmStartFailure(const char* message)
{
    platform::LockHolder held(vmStart.lock);
    return vmStart.failureMessage.assign(message);
}

void VmStartCapture::end()
{
    if (!capturing_)
        return;
    capturing_ = false;
    {
        platform::LockHolder held(vmStart.lock);
        vmStart.starting = false;
    }
    platform::stopCapturingStandardStreams();
}

bool appendVmPrinted(Text& text)
{
    platform::LockHolder held(vmStart.lock);
    return vmStart.printed.appendTo(text);
}

bool withVmReason(const char* message, Text& result)
{
    if (!platform::messagesShownInBox())
        return result.assign(message);
    Text printed;
    bool printedKept = appendVmPrinted(printed);
    return withShownReason(message, printedKept, printed, result);
}

void appendShownReason(Text& message, const Text& said)
{
    size_t start = 0;
    if (said.length() > kShownReason) {
        size_t from = said.length() - kShownReason;
        start = from;
        while (start < said.length() && said.at(start - 1) != '\n')
            ++start;
        // A last line longer than the box shows: its end, from a whole
        // character ('\n' is never the second byte of one).
        if (start == said.length()) {
            size_t lineStart = from;
            while (lineStart > 0 && said.at(lineStart - 1) != '\n')
                --lineStart;
            start = firstCharacterFrom(said, lineStart, from);
        }
    }
    // Without memory for the machine's words the message stands alone.
    (void)message.append(said.chars() + start, said.length() - start);
}
