#pragma once
// Options the user adds: the setting User Options File of [Application]
// names a file the user may write (%APPDATA%\MyApp\MyApp.options), read as an
// argument file of Virtual Machine Parameters is read, whose options come
// right after the parameters', so that the user's -Xmx, -D or --add-opens
// wins where the machine takes the last one. Without the setting no such
// file is read: the application's vendor decides whether users may add
// options. A file that is not there adds nothing and says nothing.
#include "common/failure.h"
#include "common/text_list.h"
#include "config/java_options.h"
#include "config/launch_paths.h"

// Adds the options of the file the setting names, if any, to those of the
// parameters; false with the message, which names the file and says that
// removing it restores the application's own options.
[[nodiscard]] bool addUserOptions(const LaunchPaths& paths, JavaOptions& options, Failure& failure);
// Reads the file's items, as an argument file, up to kLargestUserOptionsFile bytes.
[[nodiscard]] bool readUserOptionsFile(const char* path, TextList& items, Failure& failure);
// Translates the items as the parameters are translated (an item that names
// an argument file is refused: the file names none) and adds them to the
// parameters' options: the user's class path, VM library kind and splash
// count where given. After a refusal the options are not to be used.
[[nodiscard]] bool takeUserOptions(const char* path, const TextList& items, JavaOptions& options, Failure& failure);

// A file of options holds a few lines; a larger one is another file.
extern const unsigned long long kLargestUserOptionsFile;
extern const char kUserOptionsFormat[];
