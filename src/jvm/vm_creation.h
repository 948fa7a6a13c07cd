#pragma once
// Loads the chosen VM library and creates the process's one virtual machine
// through the JNI invocation interface.
struct Launcher;

bool loadVmLibrary(Launcher& launcher);
bool createVm(Launcher& launcher);
