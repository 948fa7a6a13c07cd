#pragma once
// Telling the user: a message box in the window flavour, standard error
// elsewhere.
#include "platform/window_handle.h"

namespace platform {

void showErrorBox(WindowHandle owner, const char* text);
// Standard error alone, where the process has one (in the window flavour
// only when its parent gave it one): what a running application is told in
// passing, without a box that would stop it.
void showOnStandardError(const char* text);
// Whether error messages go to a box (the window flavour): there the user
// never sees what the virtual machine prints, so the message carries it.
// Elsewhere messages go to standard error, beside the machine's own output.
bool messagesShownInBox();

}
