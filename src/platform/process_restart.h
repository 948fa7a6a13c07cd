#pragma once
// What the launcher needs of its own process beside the launch: starting its
// executable again (the restart exit code) and ending at once.
namespace platform {

// Starts the executable again as a new process, with this process's command
// line, current directory and environment; on Linux `executable` is the path
// it was started from (the file there may have been replaced meanwhile), on
// Windows the system's own UTF-16 path is used. False with the function that
// failed and its error code.
bool startExecutableAgain(const char* executable, const char*& call, int& code);
// Ends the process with the code, as the virtual machine's own exit would.
[[noreturn]] void endProcess(int code);

}
