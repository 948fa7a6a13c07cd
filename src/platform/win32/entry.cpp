#include "launcher/launch_sequence.h"

#include <windows.h>

// The command-line tail and show command are not used: the arguments are
// taken again from the whole command line, and the show command is ignored.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return launchMain(instance);
}
