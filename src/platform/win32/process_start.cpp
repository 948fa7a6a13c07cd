#include "platform/process.h"

#include "common/memory.h"
#include "platform/win32/module_state.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

namespace {

// The window framework's per-module state: the module its classes belong to,
// and the class to unregister when the state ends.
struct ModuleState {
    HINSTANCE instance;
    const char* registeredClass;
};

ModuleState* moduleState = nullptr;

void initializeCommonControls()
{
    // Makes sure user32 is initialised for this thread before the first window.
    DefWindowProcA(nullptr, 0, 0, 0);
    INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_COOL_CLASSES | ICC_BAR_CLASSES };
    InitCommonControlsEx(&controls);
}

bool initializeModuleState(HINSTANCE instance)
{
    moduleState = static_cast<ModuleState*>(allocateMemory(sizeof(ModuleState)));
    if (!moduleState)
        return false;
    *moduleState = ModuleState { instance ? instance : GetModuleHandleA(nullptr), nullptr };
    return true;
}

void terminateModuleState()
{
    if (!moduleState)
        return;
    if (moduleState->registeredClass)
        UnregisterClassA(moduleState->registeredClass, moduleState->instance);
    releaseMemory(moduleState);
    moduleState = nullptr;
}

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

// The character classification follows the thread locale; windows want a
// single-threaded apartment and the common controls.
StartUpFailure startUp(ModuleInstance instance, long& errorCode)
{
    SetThreadLocale(GetSystemDefaultLCID());
    HRESULT apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(apartment)) {
        errorCode = apartment;
        return StartUpFailure::Apartment;
    }
    initializeCommonControls();
    if (!initializeModuleState(static_cast<HINSTANCE>(instance))) {
        errorCode = E_OUTOFMEMORY;
        return StartUpFailure::ModuleState;
    }
    return StartUpFailure::None;
}

// Runs whatever start-up achieved, after the launch has been torn down.
void shutDown()
{
    terminateModuleState();
    CoUninitialize();
}

}
