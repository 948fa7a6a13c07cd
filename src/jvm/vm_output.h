#pragma once
// What the virtual machine says while it starts, kept so that a failed start
// can tell the user why in the machine's own words: what it prints through
// its vfprintf hook, and in the window flavour what it writes to standard
// output and error (see platform::startCapturingStandardStreams). Each is a
// bounded tail; what the machine prints still goes where it went before.
#include "common/failure.h"
#include "common/text.h"
#include "jvm/startup_cache.h"

#include <jni.h>
#include <stdarg.h>
#include <stdio.h>

// The machine's hooks, handed to it as the options "vfprintf", "abort" and "exit".
jint JNICALL vmPrintHook(FILE* stream, const char* format, va_list arguments);
void JNICALL vmAbortHook();
void JNICALL vmExitHook(jint code);

// A hook as the machine takes it: the option's name, the function its extra
// information.
struct VmHook {
    const char* name;
    void* function;
};
const size_t kMostVmHooks = 3;
// The hooks VmStartCapture::begin chose; their count. HotSpot lists every hook it is
// handed among the machine's arguments (RuntimeMXBean.getInputArguments(),
// jcmd VM.command_line), where java has none, so only those that serve are
// handed over: the print and abort hooks where messages go to a box (its
// text, the box when the machine ends the process while it starts), the exit
// hook there too, and elsewhere only for a chained function that the system
// cannot run at exit by itself (it can on Linux).
size_t chosenVmHooks(VmHook (&hooks)[kMostVmHooks]);

// Tells the user of a failure at once, as the launch sequence tells them.
struct FailureReport {
    void (*show)(const Failure& failure, void* context);
    void* context;
};

// The machine's start, from before it is created until main is called, and
// its owner: what the launcher keeps of it ends when main is called, or else
// when the owner goes, on every path where main is not called. Global state
// behind it (the machine's hooks take no context): one machine, one start.
//
//   launcher.vmStart.begin(report, chained);
//   if (!createVm(...) || !findMain(...))
//       return false;                  // ends as the Launcher goes
//   launcher.vmStart.end();
//   ... call main ...
class VmStartCapture {
public:
    VmStartCapture() = default;
    VmStartCapture(const VmStartCapture&) = delete;
    VmStartCapture& operator=(const VmStartCapture&) = delete;
    ~VmStartCapture() { end(); }

    // From here until the end, a machine that ends the process (its abort
    // hook, or its exit hook with a code other than 0) first has the failure
    // message with what it said reported, where messages go to a box (where
    // they go to standard error, its words are there already); the exit hook
    // then calls the chained one, for the rest of the process.
    void begin(const FailureReport& report, ExitHookFunction chained);
    // Main is called, or the start failed: from now on nothing is kept and an
    // end of the process is not reported. Once; nothing before begin.
    void end();

private:
    bool capturing_ = false;
};
// What an end of the process means at this point of the start; empty: only
// what the machine said is shown, and nothing when it said nothing. False,
// and the meaning as it was, when it cannot get memory.
[[nodiscard]] bool setVmStartFailure(const char* message);

// The message, followed by what the machine said where the message goes to a
// box (elsewhere the machine's own output is beside it on standard error).
// False when the message cannot get memory; without memory for the
// machine's words, the message stands alone.
[[nodiscard]] bool withVmReason(const char* message, Text& result);
// What the machine printed through its hook since the start began: its last
// OutputTail::kBound bytes; false when the text could not take them.
[[nodiscard]] bool appendVmPrinted(Text& text);
// Appends what a box shows of what the machine said: its last lines that fit
// in 4,000 bytes, or, when the last line alone is longer, that line's end.
void appendShownReason(Text& message, const Text& said);
