#include "platform/standard_streams.h"

#include "common/output_tail.h"
#include "platform/message_box.h"
#include "platform/win32/handles.h"

#include <stdio.h>
#include <windows.h>

namespace platform {

namespace {

const DWORD kStreams[2] = { STD_OUTPUT_HANDLE, STD_ERROR_HANDLE };

struct Capture {
    HANDLE original[2] = {}; // the standard handles before the capture
    bool recorded = false;
    bool started = false;
    HANDLE readEnd = nullptr;
    CRITICAL_SECTION lock;
    bool keeping = false; // until main is called
    OutputTail tail;
};
// The process's one capture, global because the machine's hooks, which take
// no context, reach it (passing on what it prints, reading what it said).
Capture capture;

bool isValid(HANDLE handle)
{
    return handle && handle != INVALID_HANDLE_VALUE;
}

// Reads for as long as the process lives: Java keeps the pipe as its
// System.out and System.err, and a full pipe would stop the writer.
DWORD WINAPI readPipe(void*)
{
    char buffer[4096];
    DWORD received = 0;
    while (ReadFile(capture.readEnd, buffer, sizeof buffer, &received, nullptr) && received > 0) {
        EnterCriticalSection(&capture.lock);
        if (capture.keeping)
            capture.tail.append(buffer, received);
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

void startCapturingStandardStreams()
{
    recordOriginals();
    if (!messagesShownInBox() || (isValid(capture.original[0]) && isValid(capture.original[1])))
        return;
    KernelObject readEnd;
    KernelObject writeEnd;
    if (!CreatePipe(readEnd.replaceAddress(), writeEnd.replaceAddress(), nullptr, 0))
        return;
    InitializeCriticalSection(&capture.lock);
    capture.readEnd = readEnd.get();
    capture.keeping = true;
    ThreadHandle reader(CreateThread(nullptr, 64 * 1024, readPipe, nullptr, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!reader.isValid())
        return;
    // Both ends stay open until the process ends: whoever was handed the
    // write end may write at any time.
    for (int i = 0; i < 2; ++i) {
        if (!isValid(capture.original[i]))
            SetStdHandle(kStreams[i], writeEnd.get());
    }
    readEnd.release();
    writeEnd.release();
    capture.started = true;
}

void stopCapturingStandardStreams()
{
    if (!capture.started)
        return;
    EnterCriticalSection(&capture.lock);
    capture.keeping = false;
    LeaveCriticalSection(&capture.lock);
    for (int i = 0; i < 2; ++i) {
        if (!isValid(capture.original[i]))
            SetStdHandle(kStreams[i], capture.original[i]);
    }
}

void capturedStandardStreams(Text& text)
{
    text.clear();
    if (!capture.started)
        return;
    // What a writer wrote has left the pipe once it is empty; the short wait
    // lets the reader store the last bytes it took.
    DWORD available = 0;
    for (int i = 0; i < 100; ++i) {
        if (!PeekNamedPipe(capture.readEnd, nullptr, 0, nullptr, &available, nullptr) || available == 0)
            break;
        Sleep(10);
    }
    Sleep(50);
    EnterCriticalSection(&capture.lock);
    if (!capture.tail.appendTo(text))
        text.clear();
    LeaveCriticalSection(&capture.lock);
}

void passOnVmOutput(void* stream, const char* text, size_t length)
{
    recordOriginals();
    HANDLE target = capture.original[isMachineStdout(stream) ? 0 : 1];
    DWORD written = 0;
    if (isValid(target))
        WriteFile(target, text, static_cast<DWORD>(length), &written, nullptr);
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
    passOnVmOutput(stream, buffer, length);
    return static_cast<int>(length);
}

}
