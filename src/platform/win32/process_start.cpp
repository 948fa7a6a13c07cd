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

// While the framework's state lives: the window code reaches it from the
// splash window's own thread, where the launch hands it nothing.
FrameworkState* frameworkState = nullptr;

// The character classification follows the thread locale.
bool useSystemLocale(platform::InstanceHandle, long&)
{
    SetThreadLocale(GetSystemDefaultLCID());
    return true;
}

// Windows want a single-threaded apartment. One that was there already
// (S_FALSE) counts, and is left as often as it was entered; one that could
// not be entered is not left.
bool enterApartment(platform::InstanceHandle, long& errorCode)
{
    HRESULT apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(apartment)) {
        errorCode = apartment;
        return false;
    }
    return true;
}

void leaveApartment()
{
    CoUninitialize();
}

bool initializeCommonControls(platform::InstanceHandle, long&)
{
    // Makes sure user32 is initialised for this thread before the first window.
    DefWindowProcA(nullptr, 0, 0, 0);
    INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_COOL_CLASSES | ICC_BAR_CLASSES };
    InitCommonControlsEx(&controls);
    return true;
}

bool initializeFrameworkState(platform::InstanceHandle instance, long& errorCode)
{
    frameworkState = static_cast<FrameworkState*>(allocateMemory(sizeof(FrameworkState)));
    if (!frameworkState) {
        errorCode = E_OUTOFMEMORY;
        return false;
    }
    HINSTANCE program = static_cast<HINSTANCE>(instance);
    *frameworkState = FrameworkState { program ? program : GetModuleHandleA(nullptr), nullptr };
    return true;
}

void terminateFrameworkState()
{
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

const PlatformService kPlatformServices[] = {
    { StartUpFailure::None, useSystemLocale, nullptr },
    { StartUpFailure::Apartment, enterApartment, leaveApartment },
    { StartUpFailure::None, initializeCommonControls, nullptr },
    { StartUpFailure::WindowFramework, initializeFrameworkState, terminateFrameworkState },
    { StartUpFailure::None, nullptr, nullptr },
};

// The machine ends the process through its own C runtime, which runs none
// of the launcher's: its exit hook serves instead.
bool runAtExit(void (*)(int))
{
    return false;
}

}
