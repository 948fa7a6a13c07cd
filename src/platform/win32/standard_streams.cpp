#include "platform/standard_streams.h"

#include "common/output_tail.h"
#include "common/trace.h"
#include "platform/message_box.h"
#include "platform/win32/handles.h"

#include <stdio.h>
#include <windows.h>

namespace platform {

const char kLineEnd[] = "\r\n";

namespace {

const DWORD kStreams[2] = { STD_OUTPUT_HANDLE, STD_ERROR_HANDLE };

// One pipe takes the place of the standard handles the process lacks: from
// the start of the machine for the capture, or from before jvm.dll is loaded
// for the output file. Its ends, and the output file, stay open until the
// process ends: whoever was handed the write end may write at any time.
struct Capture {
    HANDLE original[2]; // the process's own standard handles
    bool recorded;
    bool started;
    HANDLE readEnd;
    CRITICAL_SECTION lock;
    bool keeping; // until main is called
    OutputTail tail;
    HANDLE file;  // the output file, once it takes the pipe's bytes
    OutputCap cap;
    bool writing; // a run read from the pipe is on its way to the file
    bool failed;
};
// The process's one capture, global because the machine's hooks, which take
// no context, reach it (passing on what it prints, reading what it said).
Capture capture;

bool isValid(HANDLE handle)
{
    return handle && handle != INVALID_HANDLE_VALUE;
}

// What the cap allows, then the line that says the cap was reached; after a
// failed write (a full disk), nothing. Under the lock.
void writeToFile(const char* bytes, DWORD length)
{
    size_t taken = capture.cap.allow(length);
    if (capture.failed)
        return;
    const Text& stopLine = capture.cap.stopLine();
    if ((taken > 0 && !appendToOpenFile(capture.file, bytes, taken))
        || (capture.cap.reachedNow() && !appendToOpenFile(capture.file, stopLine.chars(), stopLine.length()))) {
        capture.failed = true;
        trace("output file: a write failed: output dropped");
    }
}

// Reads for as long as the process lives: Java keeps the pipe as its
// System.out and System.err, and a full pipe would stop the writer.
DWORD WINAPI readPipe(void*)
{
    char buffer[4096];
    DWORD received = 0;
    while (ReadFile(capture.readEnd, buffer, sizeof buffer, &received, nullptr) && received > 0) {
        EnterCriticalSection(&capture.lock);
        capture.writing = true;
        if (capture.keeping)
            capture.tail.append(buffer, received);
        if (capture.file)
            writeToFile(buffer, received);
        capture.writing = false;
        LeaveCriticalSection(&capture.lock);
    }
    return 0;
}

void recordOriginals()
{
    if (capture.recorded)
        return;
    for (int i = 0; i < 2; ++i)
        capture.original[i] = GetStdHandle(kStreams[i]);
    capture.recorded = true;
}

// The pipe, with its reader, in place of the handles the process lacks.
bool startPipe()
{
    KernelObject readEnd;
    KernelObject writeEnd;
    if (!CreatePipe(readEnd.replaceAddress(), writeEnd.replaceAddress(), nullptr, 64 * 1024))
        return false;
    InitializeCriticalSection(&capture.lock);
    capture.readEnd = readEnd.get();
    ThreadHandle reader(CreateThread(nullptr, 64 * 1024, readPipe, nullptr, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!reader.isValid()) {
        capture.readEnd = nullptr;
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        if (!isValid(capture.original[i]))
            SetStdHandle(kStreams[i], writeEnd.get());
    }
    readEnd.release();
    writeEnd.release();
    return true;
}

bool pipeIsEmpty()
{
    DWORD waiting = 0;
    EnterCriticalSection(&capture.lock);
    bool empty = !capture.writing && PeekNamedPipe(capture.readEnd, nullptr, 0, nullptr, &waiting, nullptr)
        && waiting == 0;
    LeaveCriticalSection(&capture.lock);
    return empty;
}

// What a writer wrote has left the pipe once it is empty and the reader has
// stored what it took; the second look catches a run taken just as the
// first ended.
void waitForPipe()
{
    for (int i = 0, empty = 0; i < 200 && empty < 2; ++i) {
        empty = pipeIsEmpty() ? empty + 1 : 0;
        if (empty < 2)
            Sleep(10);
    }
}

// The machine's C runtime (ucrtbase since Java 9) gives its stdout as the
// first stream; anything else (older runtimes' C libraries) counts as stderr.
bool isMachineStdout(void* stream)
{
    typedef FILE*(__cdecl * StreamFunction)(unsigned);
    HMODULE runtime = GetModuleHandleA("ucrtbase.dll");
    StreamFunction streams =
        runtime ? reinterpret_cast<StreamFunction>(reinterpret_cast<void*>(GetProcAddress(runtime, "__acrt_iob_func"))) : nullptr;
    return streams && streams(1) == stream;
}

}

MissingStreams missingStandardStreams()
{
    recordOriginals();
    MissingStreams missing;
    missing.output = !isValid(capture.original[0]);
    missing.error = !isValid(capture.original[1]);
    return missing;
}

// Before jvm.dll is loaded: its C runtime takes the standard handles when it
// starts, and Java's System.out and System.err when the machine is created.
bool sendMissingStreamsToFile(OpenFile&& file, MissingStreams, OutputCap&& cap)
{
    capture.cap = static_cast<OutputCap&&>(cap);
    capture.file = file.get();
    if (capture.readEnd || !startPipe()) {
        capture.file = nullptr;
        return false;
    }
    file.release();
    return true;
}

bool outputFileTakesStreams()
{
    return capture.file != nullptr;
}

void finishOutputFile()
{
    if (capture.file)
        waitForPipe();
}

Text localTimeText()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[64];
    int length = wsprintfA(text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                           now.wMinute, now.wSecond);
    Text result;
    return result.assign(text, length > 0 ? static_cast<size_t>(length) : 0) ? static_cast<Text&&>(result) : Text();
}

void startCapturingStandardStreams()
{
    recordOriginals();
    if (!messagesShownInBox() || (isValid(capture.original[0]) && isValid(capture.original[1])))
        return;
    // The output file's pipe is in place of the missing handles already.
    if (!capture.readEnd && !startPipe())
        return;
    EnterCriticalSection(&capture.lock);
    capture.keeping = true;
    LeaveCriticalSection(&capture.lock);
    capture.started = true;
}

// From main on, without an output file, the handles are what they were;
// what still reaches the pipe (Java keeps the handle it was given) is read
// and dropped.
void stopCapturingStandardStreams()
{
    if (!capture.started)
        return;
    EnterCriticalSection(&capture.lock);
    capture.keeping = false;
    LeaveCriticalSection(&capture.lock);
    for (int i = 0; i < 2 && !capture.file; ++i) {
        if (!isValid(capture.original[i]))
            SetStdHandle(kStreams[i], capture.original[i]);
    }
}

void capturedStandardStreams(Text& text)
{
    text.clear();
    if (!capture.started)
        return;
    waitForPipe();
    EnterCriticalSection(&capture.lock);
    if (!capture.tail.appendTo(text))
        text.clear();
    LeaveCriticalSection(&capture.lock);
}

// Where the output file takes the stream, through its pipe, in order with
// what the machine writes to the stream itself; the capture keeps it there.
bool passOnVmOutput(void* stream, const char* text, size_t length)
{
    recordOriginals();
    int index = isMachineStdout(stream) ? 0 : 1;
    bool toOutputFile = !isValid(capture.original[index]) && capture.file;
    HANDLE target = toOutputFile ? GetStdHandle(kStreams[index]) : capture.original[index];
    DWORD written = 0;
    if (isValid(target))
        WriteFile(target, text, static_cast<DWORD>(length), &written, nullptr);
    return toOutputFile;
}

const int kFormatFailed = -2;

int formatToBuffer(char* buffer, size_t size, const char* format, va_list arguments)
{
    // The C runtime DLL's own formatter: mingw's would add to the executable.
    // It gives -1 for a text too long and for one it cannot convert alike;
    // counting the text tells them apart.
    va_list copy;
    va_copy(copy, arguments);
    int length = _vsnprintf(buffer, size, format, arguments);
    if (length < 0 || static_cast<size_t>(length) >= size)
        length = _vscprintf(format, copy) < 0 ? kFormatFailed : -1;
    va_end(copy);
    return length;
}

// The stream is the machine's C runtime's, which the launcher does not call:
// what a buffer on the stack holds is passed on.
int printVmOutputDirectly(void* stream, const char* format, va_list arguments)
{
    char buffer[4096] = {};
    _vsnprintf(buffer, sizeof buffer, format, arguments);
    size_t length = 0;
    while (length < sizeof buffer && buffer[length])
        ++length;
    (void)passOnVmOutput(stream, buffer, length);
    return static_cast<int>(length);
}

}
