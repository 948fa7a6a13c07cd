#pragma once
// The startup cache: on runtimes that keep a class archive up to date by
// themselves (Java 19 and later), the launcher asks for one archive per
// application and runtime in the user's cache folder, so that later starts
// map the classes the application loads instead of loading them again.
#include "common/text.h"
#include "common/text_list.h"

struct Launcher;

// Adds the archive options to vmOptions when the settings ask for the cache,
// the runtime can keep the archive and the folder can be written; otherwise
// (and without memory) leaves the launch exactly as it is. The messages of
// the runtime about the archive stay off the application's console.
void addStartupCacheOptions(Launcher& launcher, const Text& runtimeHome);

// The archive's file name: the runtime's feature version and a hash of its
// home and version, so that each runtime has an archive of its own.
Text startupArchiveName(const Text& runtimeHome, const Text& versionText, int feature);
// Whether the settings' own options already decide about class archives.
bool optionsChooseTheirArchive(const TextList& options);
