#pragma once
// The startup cache: on runtimes that keep a class archive up to date by
// themselves (Java 19 and later), the launcher asks for one archive per
// application folder and runtime in the user's cache folder, so that later
// starts map the classes the application loads instead of loading them
// again. An archive is handed over only while it matches the seal written
// beside it when the runtime made it; otherwise it goes, and the runtime makes
// it again at exit.
#include "common/text.h"
#include "common/text_list.h"
#include "config/launch_paths.h"
#include "runtime/chosen_runtime.h"

#include <jni.h>

typedef void (JNICALL* ExitHookFunction)(jint code);

// An archive the runtime is asked to make: sealed when the owner goes (after
// the runtime has ended), or from the runtime's exit hook when the
// application calls System.exit.
struct StartupArchive {
    StartupArchive() = default;
    StartupArchive(const StartupArchive&) = delete;
    StartupArchive& operator=(const StartupArchive&) = delete;
    ~StartupArchive();

    // The hook for the machine's "exit" that seals this archive, for as long
    // as the owner lives; null when there is nothing to seal at exit.
    ExitHookFunction exitHook() const;

    Text archive;
    Text seal;
    unsigned long long facts = 0;
    bool sealAtExit = false;
};

// What the archive is made for and where it goes.
struct StartupCacheFacts {
    const ChosenRuntime& runtime; // its home, version text and VM library
    const TextList& classPath;
    const LaunchPaths& paths;
};

// Adds the archive options to vmOptions when the runtime can keep the
// archive and the folder can be written; otherwise (and without memory)
// leaves the launch exactly as it is. The messages of the runtime about the
// archive stay off the application's console. An archive made at exit is
// then the one its exit hook seals.
void addStartupCacheOptions(const StartupCacheFacts& facts, TextList& vmOptions, StartupArchive& archive);

// Seals the archive the runtime was asked to make, once it is whole; at most once.
void sealStartupArchive(StartupArchive& archive);

// The archive's file name: the runtime's feature version and a hash of its
// home and version and of the application's folder, so that each runtime and
// each application of the same name has an archive of its own.
Text startupArchiveName(const Text& runtimeHome, const Text& versionText, const Text& applicationFolder,
                        int feature);
// Whether the settings' own options already decide about class archives.
bool optionsChooseTheirArchive(const TextList& options);
