#include "platform/standard_streams.h"

#include "common/trace.h"
#include "platform/win32/handles.h"
#include "platform/win32/output_file_pipe.h"

#include <windows.h>

namespace platform {

const char kLineEnd[] = "\r\n";

namespace {

struct OutputFile {
    HANDLE readEnd = nullptr;
    OpenFile file;
    Text path;
    OutputCap cap;
    CRITICAL_SECTION lock;
    bool writing = false; // a run read from the pipe is on its way to the file
    bool failed = false;
    bool started = false;
};
// Global as the capture is: the machine's hooks reach it without a context.
OutputFile output;

bool isValid(HANDLE handle)
{
    return handle && handle != INVALID_HANDLE_VALUE;
}

// What the cap allows, then the line that says the cap was reached; after a
// failed write (a full disk), nothing. Under the lock.
void writeToFile(const char* bytes, size_t length)
{
    size_t taken = output.cap.allow(length);
    if (output.failed)
        return;
    if ((taken > 0 && !appendToOpenFile(output.file.get(), bytes, taken))
        || (output.cap.reachedNow()
            && !appendToOpenFile(output.file.get(), output.cap.stopLine().chars(), output.cap.stopLine().length()))) {
        output.failed = true;
        trace("output file %s: a write failed: the rest of the output is dropped", { output.path });
    }
}

// Empties the pipe for as long as the process lives: Java keeps it as its
// System.out and System.err, and a full pipe would stop the writer.
DWORD WINAPI readPipe(void*)
{
    char run[4096];
    DWORD got = 0;
    while (ReadFile(output.readEnd, run, sizeof run, &got, nullptr) && got > 0) {
        EnterCriticalSection(&output.lock);
        output.writing = true;
        keepCapturedOutput(run, got);
        writeToFile(run, got);
        output.writing = false;
        LeaveCriticalSection(&output.lock);
    }
    return 0;
}

bool pipeIsEmpty()
{
    DWORD waiting = 0;
    EnterCriticalSection(&output.lock);
    bool empty = !output.writing && PeekNamedPipe(output.readEnd, nullptr, 0, nullptr, &waiting, nullptr)
        && waiting == 0;
    LeaveCriticalSection(&output.lock);
    return empty;
}

}

MissingStreams missingStandardStreams()
{
    MissingStreams missing;
    missing.output = !isValid(GetStdHandle(STD_OUTPUT_HANDLE));
    missing.error = !isValid(GetStdHandle(STD_ERROR_HANDLE));
    return missing;
}

bool sendMissingStreamsToFile(OpenFile&& file, MissingStreams missing, OutputCap&& cap, const Text& path)
{
    KernelObject readEnd;
    KernelObject writeEnd;
    if (output.started || !CreatePipe(readEnd.replaceAddress(), writeEnd.replaceAddress(), nullptr, 64 * 1024))
        return false;
    prepareCaptureOfOutputFile();
    InitializeCriticalSection(&output.lock);
    output.readEnd = readEnd.get();
    output.file = static_cast<OpenFile&&>(file);
    output.cap = static_cast<OutputCap&&>(cap);
    output.path = path;
    ThreadHandle reader(CreateThread(nullptr, 64 * 1024, readPipe, nullptr, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!reader.isValid()) {
        output.file.reset();
        return false;
    }
    // Set before jvm.dll is loaded: its C runtime takes the standard handles
    // when it starts, and Java's System.out and System.err when the machine
    // is created. Both ends stay open until the process ends.
    if (missing.output)
        SetStdHandle(STD_OUTPUT_HANDLE, writeEnd.get());
    if (missing.error)
        SetStdHandle(STD_ERROR_HANDLE, writeEnd.get());
    readEnd.release();
    writeEnd.release();
    output.started = true;
    return true;
}

// The second look catches a run the reader took just as the first ended.
void finishOutputFile()
{
    if (!output.started)
        return;
    for (int i = 0, empty = 0; i < 200 && empty < 2; ++i) {
        empty = pipeIsEmpty() ? empty + 1 : 0;
        if (empty < 2)
            Sleep(10);
    }
}

void localTime(LocalTime& time)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    time = { now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond };
}

}
