#include "platform/threads.h"
#include "platform/win32/handles.h"

#include <windows.h>

namespace platform {

namespace {

struct ThreadCall {
    int (*function)(void*);
    void* argument;
};

DWORD WINAPI runCall(void* call)
{
    ThreadCall* c = static_cast<ThreadCall*>(call);
    return static_cast<DWORD>(c->function(c->argument));
}

}

// The launcher runs on the process's first thread, whose stack is the
// reservation that the executable's headers ask for.
size_t currentThreadStackSize()
{
    char* image = reinterpret_cast<char*>(GetModuleHandleA(nullptr));
    const IMAGE_NT_HEADERS* headers =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(image + reinterpret_cast<const IMAGE_DOS_HEADER*>(image)->e_lfanew);
    return static_cast<size_t>(headers->OptionalHeader.SizeOfStackReserve);
}

bool firstThreadMayRunMachine()
{
    return true;
}

bool runOnNewThread(size_t stackSize, int (*function)(void*), void* argument, int& result)
{
    ThreadCall call = { function, argument };
    // Without the flag the size would be what is committed at once, and the
    // reservation would stay the executable's.
    ThreadHandle thread(CreateThread(nullptr, stackSize, runCall, &call, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!thread.isValid())
        return false;
    HANDLE handle = thread.get();
    // The splash window belongs to this thread: a message box on the other
    // thread that it owns sends it messages, which must not wait for good.
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    DWORD code = 0;
    GetExitCodeThread(handle, &code);
    result = static_cast<int>(code);
    return true;
}

}
