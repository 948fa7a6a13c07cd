#include "config/class_path_wildcards.h"

#include "common/argument_splitting.h"
#include "common/text_scan.h"
#include "common/trace.h"
#include "platform/files.h"

namespace {

bool isWildcard(const Text& entry, const WildcardFolders& folders)
{
    size_t length = entry.length();
    return length > 0 && entry.at(length - 1) == '*'
        && (length == 1 || folders.isFileSeparator(entry.at(length - 2)))
        && !folders.nameExists(entry.chars(), folders.context);
}

// java's own test, byte by byte: ".jar" or ".JAR" (not ".Jar") ends the name.
bool isJarName(const Text& name, char listSeparator)
{
    size_t length = name.length();
    if (length < 4 || name.at(length - 4) != '.' || findCharacter(name, listSeparator) != kNotFound)
        return false;
    const char* extension = name.chars() + length - 3;
    return (extension[0] == 'j' && extension[1] == 'a' && extension[2] == 'r')
        || (extension[0] == 'J' && extension[1] == 'A' && extension[2] == 'R');
}

// Appends the folder's JAR files, each as the wildcard with its '*' replaced
// by the name; false when there are none (or memory ran out, said in `failed`).
bool appendJarFiles(const Text& wildcard, char listSeparator, const WildcardFolders& folders, Text& widened,
                    bool& failed)
{
    TextList names;
    if (!folders.listFolder(wildcard.chars(), names, folders.context))
        return false;
    size_t found = 0;
    for (size_t i = 0; i < names.count(); ++i) {
        if (!isJarName(names.at(i), listSeparator))
            continue;
        failed = (found > 0 && !widened.appendChar(listSeparator))
            || !widened.append(wildcard.chars(), wildcard.length() - 1) || !widened.append(names.at(i));
        if (failed)
            return false;
        ++found;
    }
    trace("class path wildcard %s: %d JAR files", { wildcard, static_cast<int>(found) });
    return found > 0;
}

bool nameExists(const char* path, const void*)
{
    return platform::nameExists(path);
}

bool listFolder(const char* wildcard, TextList& names, const void*)
{
    return platform::listWildcardFolder(wildcard, names);
}

}

bool widenClassPath(const Text& classPath, char listSeparator, const WildcardFolders& folders, Text& widened)
{
    if (findCharacter(classPath, '*') == kNotFound)
        return widened.append(classPath);
    TextList entries;
    Text separator;
    if (!separator.appendChar(listSeparator) || !splitAtSeparator(entries, classPath, separator))
        return false;
    Text result;
    bool widenedAny = false;
    for (size_t i = 0; i < entries.count(); ++i) {
        const Text& entry = entries.at(i);
        if (i > 0 && !result.appendChar(listSeparator))
            return false;
        bool failed = false;
        if (isWildcard(entry, folders) && appendJarFiles(entry, listSeparator, folders, result, failed)) {
            widenedAny = true;
            continue;
        }
        if (failed || !result.append(entry))
            return false;
    }
    return widened.append(widenedAny ? result : classPath);
}

bool widenClassPath(const Text& classPath, Text& widened)
{
    const WildcardFolders system = { nameExists, listFolder, platform::isFileSeparator, nullptr };
    return widenClassPath(classPath, platform::kPathListSeparator, system, widened);
}
