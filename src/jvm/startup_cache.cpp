#include "jvm/startup_cache.h"

#include "common/message_format.h"
#include "common/text_scan.h"
#include "common/trace.h"
#include "config/module_path.h"
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

// The runtime does not make an archive again when a JAR changed after it
// was made; it only stops using it. An archive older than a JAR goes, and the
// runtime makes a new one at exit.
void removeIfStale(const Text& archive, const TextList& entries)
{
    unsigned long long made = 0;
    unsigned long long changed = 0;
    if (!platform::modificationTime(archive.chars(), made))
        return;
    for (size_t i = 0; i < entries.count(); ++i) {
        if (platform::modificationTime(entries.at(i).chars(), changed) && changed > made) {
            bool removed = platform::removeFile(archive.chars());
            trace("startup cache: %s is older than %s: %s", { archive, entries.at(i),
                  removed ? "removed, made again at exit" : "cannot be removed" });
            return;
        }
    }
}

int featureOf(const VersionNumber& version)
{
    return version.components[0] == 1 ? version.components[1] : version.components[0];
}

// The executable's name without its extension names the application's folder.
bool applicationName(const Launcher& launcher, Text& name)
{
    Text path;
    if (!getModulePath(launcher, path))
        return false;
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
    if (!platform::userCacheDirectory(path) || !applicationName(launcher, name)) {
        trace("startup cache: off, no cache folder");
        return false;
    }
    if (!platform::makeWritableDirectory(path.chars()) || !path.appendChar(platform::kPathSeparator)
        || !path.append(name) || !platform::makeWritableDirectory(path.chars())) {
        trace("startup cache: off, the folder %s cannot be written", { path });
        return false;
    }
    Text file = startupArchiveName(runtimeHome, versionText, feature);
    if (file.isEmpty() || !path.appendChar(platform::kPathSeparator) || !path.append(file))
        return false;
    if (!platform::canReplaceFile(path.chars())) {
        trace("startup cache: off, the file %s cannot be written", { path });
        return false;
    }
    return true;
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

Text startupArchiveName(const Text& runtimeHome, const Text& versionText, int feature)
{
    // FNV-1a over the home and the version: a runtime updated in place gets
    // a new archive, the old one stays behind.
    unsigned hash = 2166136261u;
    for (const Text* part : { &runtimeHome, &versionText })
        for (size_t i = 0; i <= part->length(); ++i)
            hash = (hash ^ static_cast<unsigned char>(part->chars()[i])) * 16777619u;
    char digits[9];
    for (int i = 7; i >= 0; --i, hash >>= 4)
        digits[i] = "0123456789abcdef"[hash & 15];
    digits[8] = '\0';
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
    Text archive;
    if (!archivePath(launcher, runtimeHome, versionText, feature, archive))
        return;
    removeIfStale(archive, entries);
    if (!insertOptions(launcher.vmOptions, archive)) {
        trace("startup cache: off, no memory for its options");
        return;
    }
    trace("startup cache: %s (%s)", { archive, platform::fileExists(archive.chars()) ? "in use" : "made at exit" });
}
