#include "platform/platform.h"

#include "common/memory.h"
#include "platform/win32/module_state.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

namespace {

// The window framework's per-module state: which thread is the main one, and
// the (so far empty) registry of message loops running on threads.
struct MessageLoopRegistry {
    void** loops;
    size_t count;
};

struct ModuleState {
    HINSTANCE instance;
    DWORD mainThreadId;
    MessageLoopRegistry* messageLoops;
    const char* registeredClass;
};

ModuleState* moduleState = nullptr;

}

HINSTANCE moduleInstance()
{
    return moduleState ? moduleState->instance : GetModuleHandleA(nullptr);
}

void rememberRegisteredClass(const char* className)
{
    if (moduleState)
        moduleState->registeredClass = className;
}

namespace platform {

void useSystemDefaultLocale()
{
    SetThreadLocale(GetSystemDefaultLCID());
}

long enterComApartment()
{
    return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

void leaveComApartment()
{
    CoUninitialize();
}

void initializeCommonControls()
{
    // Makes sure user32 is initialised for this thread before the first window.
    DefWindowProcA(nullptr, 0, 0, 0);
    INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_COOL_CLASSES | ICC_BAR_CLASSES };
    InitCommonControlsEx(&controls);
}

bool initializeModuleState(ModuleInstance instance, long& errorCode)
{
    ModuleState* state = static_cast<ModuleState*>(allocateMemory(sizeof(ModuleState)));
    MessageLoopRegistry* loops =
        static_cast<MessageLoopRegistry*>(allocateMemory(sizeof(MessageLoopRegistry)));
    if (!state || !loops) {
        releaseMemory(state);
        releaseMemory(loops);
        errorCode = E_OUTOFMEMORY;
        return false;
    }
    *loops = MessageLoopRegistry { nullptr, 0 };
    *state = ModuleState { static_cast<HINSTANCE>(instance), GetCurrentThreadId(), loops, nullptr };
    moduleState = state;
    return true;
}

void terminateModuleState()
{
    if (!moduleState)
        return;
    if (moduleState->registeredClass)
        UnregisterClassA(moduleState->registeredClass, moduleState->instance);
    releaseMemory(moduleState->messageLoops);
    releaseMemory(moduleState);
    moduleState = nullptr;
}

}
