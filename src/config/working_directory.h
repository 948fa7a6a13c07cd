#pragma once
// "Working Directory": the folder the application runs in, as a start script
// that changes to it before it starts java (TripleA's bin folder). The
// launcher changes to it before the runtime is loaded; the paths of the
// other settings that it hands over (the class path, the splash image) are
// still taken from the folder it was started in, and so are anchored there.
//
//   lib/app.jar:%APPDIR%/lib/util.jar  ->  /home/me/lib/app.jar:/opt/app/lib/util.jar   (started in /home/me)
#include "common/failure.h"
#include "common/text.h"

// The path, or where it is relative the directory followed by it (an empty
// path is the directory itself); false when memory ran out.
[[nodiscard]] bool anchorPath(const Text& path, const Text& directory, bool (*isAbsolute)(const char* path),
                              Text& anchored);
// Each entry of the class path anchored so; false when memory ran out.
[[nodiscard]] bool anchorClassPath(const Text& classPath, const Text& directory, char listSeparator,
                                   bool (*isAbsolute)(const char* path), Text& anchored);
// Makes the path, when it is relative, one from the directory the launcher
// was started in; false when memory ran out or that directory cannot be had.
[[nodiscard]] bool anchorInStartDirectory(Text& path, const Text& startDirectory);

// Changes to the folder; false with the message naming it when it is not
// there or cannot be entered.
[[nodiscard]] bool enterWorkingDirectory(const Text& directory, Failure& failure);

extern const char kWorkingDirectoryFormat[];
