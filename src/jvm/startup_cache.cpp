#include "jvm/startup_cache.h"

#include "jvm/startup_archive_seal.h"

#include "common/message_format.h"
#include "common/path_parts.h"
#include "common/trace.h"
#include "platform/files.h"
#include "platform/user_cache.h"
#include "runtime/java_version.h"

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

// The archive the exit hook seals: the launch's own, which outlives the
// machine, from when it is asked for until its owner goes. Global, as the
// machine's hooks take no context.
StartupArchive* archiveToSeal = nullptr;

void JNICALL sealWhenTheMachineExits(jint)
{
    if (archiveToSeal)
        sealStartupArchive(*archiveToSeal);
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

// Why the cache is left out, after the folder's or file's path.
const char* faultReason(platform::CacheFault fault)
{
    switch (fault) {
    case platform::CacheFault::Missing:
        return "is not there";
    case platform::CacheFault::CannotWrite:
        return "cannot be written";
    case platform::CacheFault::Link:
        return "is a link, which is never followed";
    case platform::CacheFault::OtherOwner:
        return "belongs to another user";
    case platform::CacheFault::OthersMayWrite:
        return "may be written by other users";
    case platform::CacheFault::None:
    case platform::CacheFault::Unchecked:
        break;
    }
    return "cannot be checked";
}

// Anything else than this user's own leaves the cache out, said once, and
// nothing is written there.
bool isOwn(platform::CacheFault fault, const char* kind, const Text& path)
{
    if (fault == platform::CacheFault::None)
        return true;
    trace("startup cache: off, the %s %s %s", { kind, path, faultReason(fault) });
    return false;
}

// The executable's name without its extension names the application's
// folder in the cache; its directory tells applications of one name apart.
bool cachePaths(const StartupCacheFacts& facts, int feature, StartupArchive& state)
{
    Text& path = state.archive;
    const Text& name = facts.paths.applicationName;
    if (!platform::userCacheDirectory(path) || name.isEmpty()) {
        trace("startup cache: off, no cache folder");
        return false;
    }
    Text where;
    if (!isOwn(platform::makeCacheRoot(path, where), "folder", where))
        return false;
    Text file = startupArchiveName(facts.runtime.home, facts.runtime.versionText, facts.paths.directory, feature);
    if (!path.appendChar(platform::kPathSeparator) || !path.append(name) || file.isEmpty()) {
        trace("startup cache: off, no memory for its paths");
        return false;
    }
    if (!isOwn(platform::makePrivateDirectory(path.chars()), "folder", path))
        return false;
    if (!path.appendChar(platform::kPathSeparator) || !path.append(file) || !state.seal.append(path)
        || !state.seal.append(kSealSuffix)) {
        trace("startup cache: off, no memory for its paths");
        return false;
    }
    // One that others may write counts as unsealed: it goes, and is made again.
    for (const Text* entry : { &state.archive, &state.seal }) {
        platform::CacheFault fault = platform::privateFileFault(entry->chars());
        if (fault != platform::CacheFault::Missing && fault != platform::CacheFault::OthersMayWrite
            && !isOwn(fault, "file", *entry))
            return false;
    }
    if (!platform::canReplaceFile(path.chars())) {
        trace("startup cache: off, the file %s cannot be written", { path });
        return false;
    }
    return true;
}

// What the archive is made for: the options (the class path among them), the
// JARs as they are now and the runtime's VM library and own archive. Gives
// the JARs' size, false when the runtime has no archive of its own.
bool gatherFacts(const StartupCacheFacts& facts, const TextList& options, ArchiveHash& hash,
                 unsigned long long& jarBytes)
{
    platform::FileStamp stamp;
    hash.addOptions(options);
    jarBytes = 0;
    const TextList& entries = facts.classPath;
    for (size_t i = 0; i < entries.count(); ++i)
        if (hash.addFile(entries.at(i).chars(), stamp))
            jarBytes += stamp.size;
    const Text& vmLibrary = facts.runtime.vmLibraryPath;
    hash.addFile(vmLibrary.chars(), stamp);
    Text baseArchive;
    return directoryOfPath(vmLibrary, platform::kPathSeparator, baseArchive)
        && baseArchive.append(kBaseArchiveName) && hash.addFile(baseArchive.chars(), stamp);
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
    Text folder;
    unsigned long long free = 0;
    return directoryOfPath(archive, platform::kPathSeparator, folder) && platform::freeSpace(folder.chars(), free)
        && free / kRoomPerJarByte > jarBytes
        && free - kRoomPerJarByte * jarBytes >= kRoomToSpare;
}

bool insertOptions(TextList& options, const Text& archive)
{
    TextList result;
    Text archiveOption;
    if (!archiveOption.assign(kArchiveFileOption) || !archiveOption.append(archive) || !result.append(options.at(0)))
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
            if (options.at(i).startsWith(option))
                return true;
    return false;
}

void addStartupCacheOptions(const StartupCacheFacts& facts, TextList& vmOptions, StartupArchive& state)
{
    const Text& versionText = facts.runtime.versionText;
    if (versionText.isEmpty()) {
        trace("startup cache: off, the runtime's release file gives no version");
        return;
    }
    int feature = featureOf(javaVersion(versionText.chars()));
    if (feature < kFirstSelfMaintainingArchive) {
        trace("startup cache: off, Java %d keeps no archive by itself (Java 19 and later do)", { feature });
        return;
    }
    if (optionsChooseTheirArchive(vmOptions)) {
        trace("startup cache: off, the settings' own options choose the archive");
        return;
    }
    if (const Text* directory = directoryAmong(facts.classPath)) {
        trace("startup cache: off, the class path holds the directory %s (the runtime archives classes of JAR "
              "files only)", { *directory });
        return;
    }
    unsigned long long jarBytes = 0;
    ArchiveHash hash;
    if (!gatherFacts(facts, vmOptions, hash, jarBytes)) {
        trace("startup cache: off, the runtime has no class archive of its own beside %s",
              { facts.runtime.vmLibraryPath });
        return;
    }
    if (!cachePaths(facts, feature, state))
        return;
    state.facts = hash.value();
    if (!removeUnsealed(state)) {
        trace("startup cache: off");
        return;
    }
    bool inUse = platform::fileExists(state.archive.chars());
    if (!inUse && !roomForArchive(state.archive, jarBytes)) {
        trace("startup cache: off, too little room beside %s for the runtime to write it", { state.archive });
        return;
    }
    if (!insertOptions(vmOptions, state.archive)) {
        trace("startup cache: off, no memory for its options");
        return;
    }
    trace("startup cache: %s (%s)", { state.archive, inUse ? "in use" : "made at exit" });
    if (inUse)
        return;
    state.sealAtExit = true;
    archiveToSeal = &state;
}

ExitHookFunction StartupArchive::exitHook() const
{
    return archiveToSeal == this ? sealWhenTheMachineExits : nullptr;
}

StartupArchive::~StartupArchive()
{
    sealStartupArchive(*this);
    if (archiveToSeal == this)
        archiveToSeal = nullptr;
}

void sealStartupArchive(StartupArchive& archive)
{
    if (!archive.sealAtExit)
        return;
    archive.sealAtExit = false;
    bool sealed = writeSeal(archive.archive.chars(), archive.seal.chars(), archive.facts);
    trace("startup cache: %s %s", { archive.archive, sealed ? "sealed" : "not made whole: no seal" });
}
