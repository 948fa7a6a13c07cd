#include "platform/process.h"

#include <windows.h>

extern "C" {

void __main(); // runs the constructors of static objects

// Static objects need not be destroyed at exit: the process ends with
// ExitProcess and gives everything back at once.
int atexit(void (*)())
{
    return 0;
}

// The process starts here, not in the C runtime's start-up code: that code
// brings argument parsing, thread-local storage callbacks, pseudo-relocations
// and exception handlers (about 10 KB) that the launcher does not use. The
// arguments come from GetCommandLineA, and the C runtime DLL sets itself up
// when it is loaded. Windows gives the x86 entry a stack aligned to 4 bytes
// only; the compiler's code expects 16.
__attribute__((force_align_arg_pointer)) void WinMainCRTStartup()
{
    __main();
    ExitProcess(static_cast<UINT>(launchMain(GetModuleHandleA(nullptr))));
}

}
