#include "platform/process.h"

#include "common/memory.h"
#include "platform/win32/framework_state.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

namespace {

// The window framework's state: the program instance its classes belong to,
// and the class to unregister when the state ends.
struct FrameworkState {
    HINSTANCE instance;
    const char* registeredClass;
};

FrameworkState* frameworkState = nullptr;

void initializeCommonControls()
{
    // Makes sure user32 is initialised for this thread before the first window.
    DefWindowProcA(nullptr, 0, 0, 0);
    INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_COOL_CLASSES | ICC_BAR_CLASSES };
    InitCommonControlsEx(&controls);
}

bool initializeFrameworkState(HINSTANCE instance)
{
    frameworkState = static_cast<FrameworkState*>(allocateMemory(sizeof(FrameworkState)));
    if (!frameworkState)
        return false;
    *frameworkState = FrameworkState { instance ? instance : GetModuleHandleA(nullptr), nullptr };
    return true;
}

void terminateFrameworkState()
{
    if (!frameworkState)
        return;
    if (frameworkState->registeredClass)
        UnregisterClassA(frameworkState->registeredClass, frameworkState->instance);
    releaseMemory(frameworkState);
    frameworkState = nullptr;
}

}

HINSTANCE programInstance()
{
    return frameworkState ? frameworkState->instance : GetModuleHandleA(nullptr);
}

void rememberRegisteredClass(const char* className)
{
    if (frameworkState)
        frameworkState->registeredClass = className;
}

namespace platform {

// The character classification follows the thread locale; windows want a
// single-threaded apartment and the common controls.
StartUpFailure startUp(InstanceHandle instance, long& errorCode)
{
    SetThreadLocale(GetSystemDefaultLCID());
    HRESULT apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(apartment)) {
        errorCode = apartment;
        return StartUpFailure::Apartment;
    }
    initializeCommonControls();
    if (!initializeFrameworkState(static_cast<HINSTANCE>(instance))) {
        errorCode = E_OUTOFMEMORY;
        return StartUpFailure::WindowFramework;
    }
    return StartUpFailure::None;
}

// Runs whatever start-up achieved, after the launch has been torn down.
void shutDown()
{
    terminateFrameworkState();
    CoUninitialize();
}

// The machine ends the process through its own C runtime, which runs none
// of the launcher's: its exit hook serves instead.
bool runAtExit(void (*)(int))
{
    return false;
}

}
