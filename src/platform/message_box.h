#pragma once
// Telling the user: a message box in the window flavour, standard error
// elsewhere.
#include "platform/window_handle.h"

namespace platform {

void showErrorBox(WindowHandle owner, const char* text);
// Whether error messages go to a box (the window flavour): there the user
// never sees what the virtual machine prints, so the message carries it.
// Elsewhere messages go to standard error, beside the machine's own output.
bool messagesShownInBox();

}
