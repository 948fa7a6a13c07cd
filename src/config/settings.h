#pragma once
// The launch settings, read from the settings file once, and the options for
// the virtual machine made from them.
#include "common/failure.h"
#include "common/text.h"
#include "common/text_list.h"
#include "config/display_settings.h"
#include "config/launch_paths.h"
#include "runtime/version_number.h"

struct LaunchSettings {
    DisplaySettings display;    // [Display]: read first, for the splash window; not read with -nosplash
    TextList vmOptions;         // the class path option first, as the machine takes them
    TextList classPath;         // the entries of the class path the machine uses, in order
    Text mainClassName;         // with '/' between its packages: Main Class, or Main Module's; may be empty
    Text mainModule;            // as java -m takes it, "app" or "app/app.Main"; may be empty
    bool mainModuleNamesClass = false; // it names a class after its '/': mainClassName
    TextList mainJarCandidates; // without a main class: the class path's JAR files, in order
    VersionNumber minimumVersion;
    VersionNumber maximumVersion;
    TextList preferredVersions;
    bool startupCache = false;  // the runtime keeps a class archive for the application
    Text vmLibraryKind;         // "client" or "server" when the parameters ask for that VM library
    Text splashImage;           // the file of the parameters' -splash:, or empty
    TextList mainArguments;     // what main receives before the command line's arguments
    Text workingDirectory;      // the folder to change to before the runtime is loaded, or empty
    Text startDirectory;        // with a working directory: the one the launcher started in, if it can be had
    Text optionsNote;           // java's note that it took JDK_JAVA_OPTIONS, or empty
};

// True when every setting was read; false with the message.
[[nodiscard]] bool loadSettings(const LaunchPaths& paths, LaunchSettings& settings, Failure& failure);

// Neither the settings nor a JAR file of the class path name the main class.
extern const char kNoMainClassMessage[];
