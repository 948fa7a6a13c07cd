#pragma once
// The [Application] section: how the application's starts relate to each
// other. A settings file without it starts the application as it always did.
//
//   [Application]
//   Single Instance=true
//   Single Instance Name=com.example.app
//   Single Instance Method=com.example.app.Main.openAgain
//   Restart Exit Code=42
#include "common/failure.h"
#include "common/text.h"
#include "config/launch_paths.h"

struct ApplicationSettings {
    bool singleInstance = false;
    Text singleInstanceName;  // empty: the executable's path names the application
    Text methodClass;         // the class of the method that takes hand-overs, as written ("com.example.app.Main")
    Text methodName;          // empty: no method; the instance only comes to the front
    bool restarts = false;
    int restartExitCode = 0;
};

// The values as the settings file gives them.
struct ApplicationValues {
    Text singleInstance;
    Text singleInstanceName;
    bool singleInstanceNameGiven = false; // the key is there, with a value or an empty one
    Text singleInstanceMethod;
    Text restartExitCode;
};

// True when every value means something; false with the message that names
// the key of the first that does not.
[[nodiscard]] bool parseApplicationSettings(const ApplicationValues& values, ApplicationSettings& settings,
                                            Failure& failure);
// Reads the section and parses it.
[[nodiscard]] bool loadApplicationSettings(const LaunchPaths& paths, ApplicationSettings& settings, Failure& failure);

extern const char kSingleInstanceValueFormat[];
extern const char kSingleInstanceMethodFormat[];
extern const char kEmptySingleInstanceNameMessage[];
extern const char kRestartExitCodeFormat[];
extern const char kWithoutSingleInstanceFormat[];
