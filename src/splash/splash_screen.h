#pragma once
// The optional splash bitmap, shown from the start of the launch until main
// returns or the launch fails; while shown it owns every message box.
struct Launcher;

// False only when the settings file's path cannot be made.
bool showSplash(Launcher& launcher);
void destroySplash(Launcher& launcher);
