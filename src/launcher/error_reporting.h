#pragma once
// The one place that tells the user why the application cannot start: in
// the window flavour a modal error box, owned by the given window (or by
// none) and closed by the user before the call returns; elsewhere standard
// error. The trace, when there is one, has it too.
#include "common/failure.h"
#include "platform/window_handle.h"

// Nothing happens for a failure without a message.
void showFailure(platform::WindowHandle owner, const Failure& failure);
// What the running application's user is told in passing (a hand-over that
// cannot be delivered): standard error and the trace, never a box.
void showFailureInPassing(const Failure& failure);
// A note for the user where there is standard error (not in the window
// flavour, which has none), and in the trace; nothing for an empty one.
void showNote(const Text& note);
// From now on a box also says where the application's output is; the path
// lives as long as the launch (the Launcher's).
void nameOutputFileInBoxes(const char* path);
