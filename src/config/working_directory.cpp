#include "config/working_directory.h"

#include "common/argument_splitting.h"
#include "common/trace.h"
#include "platform/files.h"

const char kWorkingDirectoryFormat[] =
    "The folder %s named in Working Directory does not exist or cannot be entered.";

bool anchorPath(const Text& path, const Text& directory, bool (*isAbsolute)(const char* path), Text& anchored)
{
    if (!path.isEmpty() && isAbsolute(path.chars()))
        return anchored.append(path);
    if (!anchored.append(directory))
        return false;
    if (path.isEmpty())
        return true;
    bool separated = !directory.isEmpty() && directory.at(directory.length() - 1) == platform::kPathSeparator;
    return (separated || anchored.appendChar(platform::kPathSeparator)) && anchored.append(path);
}

bool anchorClassPath(const Text& classPath, const Text& directory, char listSeparator,
                     bool (*isAbsolute)(const char* path), Text& anchored)
{
    TextList entries;
    Text separator;
    if (!separator.appendChar(listSeparator) || !splitAtSeparator(entries, classPath, separator))
        return false;
    for (size_t i = 0; i < entries.count(); ++i)
        if ((i > 0 && !anchored.appendChar(listSeparator)) || !anchorPath(entries.at(i), directory, isAbsolute, anchored))
            return false;
    return true;
}

bool anchorInStartDirectory(Text& path, const Text& startDirectory)
{
    if (path.isEmpty())
        return true;
    Text anchored;
    if (!anchorPath(path, startDirectory, platform::isAbsolutePath, anchored))
        return false;
    path = static_cast<Text&&>(anchored);
    return true;
}

bool enterWorkingDirectory(const Text& directory, Failure& failure)
{
    if (directory.isEmpty())
        return true;
    bool entered = platform::changeDirectory(directory.chars());
    trace("working directory %s: %s", { directory, entered ? "entered" : "cannot be entered" });
    return entered || fail(failure, kWorkingDirectoryFormat, directory.chars());
}
