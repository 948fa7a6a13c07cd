#include "jvm/startup_cache.h"

#include "jvm/startup_archive_seal.h"

#include "common/message_format.h"
#include "common/text_scan.h"
#include "common/trace.h"
#include "config/module_path.h"
#include "config/settings_path.h"
#include "config/settings.h"
#include "launcher/argument_splitting.h"
#include "launcher/launcher.h"
#include "platform/platform.h"
#include "runtime/java_version.h"

#include <string.h>

namespace {

const int kFirstSelfMaintainingArchive = 19;

// Options of the settings that already say how the runtime uses archives.
const char* const kArchiveOptions[] = {
    "-XX:SharedArchiveFile", "-XX:ArchiveClassesAtExit", "-Xshare:", "-XX:+AutoCreateSharedArchive",
    "-XX:-AutoCreateSharedArchive", "-XX:-UseSharedSpaces", "-XX:AOTCache", "-XX:AOTMode", "-XX:AOTConfiguration",
};

// Before the settings' own options, so that their -Xlog:cds wins; after
// them the archive, kept and used by the runtime.
const char* const kQuietOptions[] = { "-Xlog:cds=off", "-Xlog:cds+dynamic=off" };
const char kAutoCreateOption[] = "-XX:+AutoCreateSharedArchive";
const char kArchiveFileOption[] = "-XX:SharedArchiveFile=";
const char kSealSuffix[] = ".seal";
// The runtime's own archive, beside its VM library: without it the runtime
// keeps no archive of the application's classes and says so at every start.
const char kBaseArchiveName[] = "classes.jsa";
// A runtime that cannot finish the archive at exit for want of room ends
// with an error: one is asked for only with room for it and to spare.
const unsigned long long kRoomToSpare = 32ull << 20;
const unsigned kRoomPerJarByte = 4;

// The archive the exit hook seals: the launch's own, which outlives the machine.
StartupArchive* archiveToSeal = nullptr;

void JNICALL sealAtExit(jint)
{
    if (archiveToSeal)
        sealStartupArchive(*archiveToSeal);
}

// The class path entries of the options, in order.
bool classPathEntries(const TextList& options, TextList& entries)
{
    size_t prefix = strlen(kClassPathOption);
    Text separator;
    if (!separator.appendChar(platform::kPathListSeparator))
        return false;
    for (size_t i = 0; i < options.count(); ++i) {
        TextList parts;
        if (strncmp(options.at(i).chars(), kClassPathOption, prefix) != 0)
            continue;
        if (!splitAtSeparator(parts, Text(options.at(i).chars() + prefix), separator))
            return false;
        for (size_t j = 0; j < parts.count(); ++j)
            if (!entries.append(parts.at(j)))
                return false;
    }
    return true;
}

// The runtime archives classes from JAR files only: with a directory in the
// class path it fails at exit, says so on the console and ends with 1.
const Text* directoryAmong(const TextList& entries)
{
    for (size_t i = 0; i < entries.count(); ++i)
        if (platform::isDirectory(entries.at(i).chars()))
            return &entries.at(i);
    return nullptr;
}

int featureOf(const VersionNumber& version)
{
    return version.components[0] == 1 ? version.components[1] : version.components[0];
}

// The executable's name without its extension names the application's
// folder in the cache; its directory tells applications of one name apart.
bool applicationName(const Launcher& launcher, Text& name, Text& directory)
{
    Text path;
    if (!getModulePath(launcher, path))
        return false;
    directory = directoryOfPath(path, platform::kPathSeparator);
    size_t separator = findLastCharacter(path, platform::kPathSeparator);
    path.removePrefix(separator == kNotFound ? 0 : separator + 1);
    size_t dot = findLastCharacter(path, '.');
    if (dot != kNotFound)
        path.truncate(dot);
    name = static_cast<Text&&>(path);
    return !name.isEmpty();
}

bool archivePath(const Launcher& launcher, const Text& runtimeHome, const Text& versionText, int feature,
                 Text& path)
{
    Text name;
    Text directory;
    if (!platform::userCacheDirectory(path) || !applicationName(launcher, name, directory)) {
        trace("startup cache: off, no cache folder");
        return false;
    }
    if (!platform::makeWritableDirectory(path.chars()) || !path.appendChar(platform::kPathSeparator)
        || !path.append(name) || !platform::makeWritableDirectory(path.chars())) {
        trace("startup cache: off, the folder %s cannot be written", { path });
        return false;
    }
    Text file = startupArchiveName(runtimeHome, versionText, directory, feature);
    if (file.isEmpty() || !path.appendChar(platform::kPathSeparator) || !path.append(file))
        return false;
    if (!platform::canReplaceFile(path.chars())) {
        trace("startup cache: off, the file %s cannot be written", { path });
        return false;
    }
    return true;
}

// What the archive is made for: the options (the class path among them), the
// JARs as they are now and the runtime's VM library and own archive. Gives
// the JARs' size, false when the runtime has no archive of its own.
bool gatherFacts(const Launcher& launcher, const TextList& entries, ArchiveHash& facts,
                 unsigned long long& jarBytes)
{
    platform::FileStamp stamp;
    facts.addOptions(launcher.vmOptions);
    jarBytes = 0;
    for (size_t i = 0; i < entries.count(); ++i)
        if (facts.addFile(entries.at(i).chars(), stamp))
            jarBytes += stamp.size;
    Text baseArchive = directoryOfPath(launcher.jvmLibraryPath, platform::kPathSeparator);
    facts.addFile(launcher.jvmLibraryPath.chars(), stamp);
    return baseArchive.append(kBaseArchiveName) && facts.addFile(baseArchive.chars(), stamp);
}

// An archive that does not match its seal may be damaged, cut, half written
// or made for other JARs: it goes, with its seal, before the runtime sees it.
// True when what is left is either a sealed archive or nothing.
bool removeUnsealed(const StartupArchive& state)
{
    if (!platform::fileExists(state.archive.chars()))
        return !platform::fileExists(state.seal.chars()) || platform::removeFile(state.seal.chars());
    if (archiveMatchesSeal(state.archive.chars(), state.seal.chars(), state.facts))
        return true;
    bool removed = platform::removeFile(state.archive.chars())
        && (!platform::fileExists(state.seal.chars()) || platform::removeFile(state.seal.chars()));
    trace("startup cache: %s does not match its seal: %s",
          { state.archive, removed ? "removed, made again at exit" : "cannot be removed" });
    return removed;
}

bool roomForArchive(const Text& archive, unsigned long long jarBytes)
{
    Text folder = directoryOfPath(archive, platform::kPathSeparator);
    unsigned long long free = 0;
    return platform::freeSpace(folder.chars(), free) && free / kRoomPerJarByte > jarBytes
        && free - kRoomPerJarByte * jarBytes >= kRoomToSpare;
}

bool insertOptions(TextList& options, const Text& archive)
{
    TextList result;
    Text archiveOption(kArchiveFileOption);
    if (!archiveOption.append(archive) || !result.append(options.at(0)))
        return false;
    for (const char* quiet : kQuietOptions)
        if (!result.append(quiet))
            return false;
    for (size_t i = 1; i < options.count(); ++i)
        if (!result.append(options.at(i)))
            return false;
    if (!result.append(kAutoCreateOption) || !result.append(archiveOption))
        return false;
    options.exchange(result);
    return true;
}

}

Text startupArchiveName(const Text& runtimeHome, const Text& versionText, const Text& applicationFolder,
                        int feature)
{
    // A runtime updated in place gets a new archive, the old one stays behind.
    ArchiveHash hash;
    for (const Text* part : { &runtimeHome, &versionText, &applicationFolder })
        hash.addText(*part);
    Text digits;
    if (!appendHexDigits(digits, hash.value(), 8))
        return Text();
    FormatValue values[] = { feature, digits };
    return formatMessage("java%d-%s.jsa", values, 2);
}

bool optionsChooseTheirArchive(const TextList& options)
{
    for (size_t i = 0; i < options.count(); ++i)
        for (const char* option : kArchiveOptions)
            if (strncmp(options.at(i).chars(), option, strlen(option)) == 0)
                return true;
    return false;
}

void addStartupCacheOptions(Launcher& launcher, const Text& runtimeHome)
{
    if (!launcher.startupCache)
        return;
    Text versionText;
    if (!runtimeReleaseVersion(runtimeHome, versionText)) {
        trace("startup cache: off, the runtime's release file gives no version");
        return;
    }
    int feature = featureOf(javaVersion(versionText.chars()));
    if (feature < kFirstSelfMaintainingArchive) {
        trace("startup cache: off, Java %d keeps no archive by itself (Java 19 and later do)", { feature });
        return;
    }
    if (optionsChooseTheirArchive(launcher.vmOptions)) {
        trace("startup cache: off, the settings' own options choose the archive");
        return;
    }
    TextList entries;
    if (!classPathEntries(launcher.vmOptions, entries)) {
        trace("startup cache: off, no memory to read the class path");
        return;
    }
    if (const Text* directory = directoryAmong(entries)) {
        trace("startup cache: off, the class path holds the directory %s (the runtime archives classes of JAR "
              "files only)", { *directory });
        return;
    }
    StartupArchive& state = launcher.startupArchive;
    unsigned long long jarBytes = 0;
    ArchiveHash facts;
    if (!gatherFacts(launcher, entries, facts, jarBytes)) {
        trace("startup cache: off, the runtime has no class archive of its own beside %s",
              { launcher.jvmLibraryPath });
        return;
    }
    if (!archivePath(launcher, runtimeHome, versionText, feature, state.archive))
        return;
    state.facts = facts.value();
    if (!state.seal.append(state.archive) || !state.seal.append(kSealSuffix) || !removeUnsealed(state)) {
        trace("startup cache: off");
        return;
    }
    bool inUse = platform::fileExists(state.archive.chars());
    if (!inUse && !roomForArchive(state.archive, jarBytes)) {
        trace("startup cache: off, too little room beside %s for the runtime to write it", { state.archive });
        return;
    }
    if (!insertOptions(launcher.vmOptions, state.archive)) {
        trace("startup cache: off, no memory for its options");
        return;
    }
    if (!inUse) {
        state.sealAtExit = true;
        archiveToSeal = &state;
        launcher.exitHook = sealAtExit;
    }
    trace("startup cache: %s (%s)", { state.archive, inUse ? "in use" : "made at exit" });
}

void sealStartupArchive(StartupArchive& archive)
{
    if (!archive.sealAtExit)
        return;
    archive.sealAtExit = false;
    bool sealed = writeSeal(archive.archive.chars(), archive.seal.chars(), archive.facts);
    trace("startup cache: %s %s", { archive.archive, sealed ? "sealed" : "not made whole: no seal" });
}
