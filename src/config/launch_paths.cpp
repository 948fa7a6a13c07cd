#include "config/launch_paths.h"

#include "common/path_parts.h"
#include "common/path_spelling.h"
#include "config/settings_path.h"
#include "platform/files.h"

namespace {

const char kUnrepresentableNameFormat[] =
    "The name of %s cannot be represented in the system's code page. Install the application "
    "under names that the code page can represent, or turn on short (8.3) names on that volume.\n";
const char kUndecodableNameFormat[] =
    "The name of %s cannot be decoded in the locale's character encoding, and Java cannot read "
    "paths in it. Start the application in a UTF-8 locale (such as LANG=C.UTF-8), "
    "or install it in a folder whose names the locale can decode.\n";
const char kExecutablePathFailed[] = "failed to get the module path";

}

bool findLaunchPaths(LaunchPaths& paths, Failure& failure)
{
    int errorCode = 0;
    if (!platform::executablePath(paths.executablePath, errorCode)) {
        if (errorCode == platform::kUnrepresentableNameError)
            return fail(failure, kUnrepresentableNameFormat, paths.executablePath.chars());
        return fail(failure, kWindowsExceptionFormat, kExecutablePathFailed, errorCode);
    }
    if (!directoryOfPath(paths.executablePath, platform::kPathSeparator, paths.directory)
        || !nameWithoutExtension(paths.executablePath, platform::kPathSeparator, paths.applicationName))
        return fail(failure, kOutOfMemoryMessage);
    return settingsPathBeside(paths.executablePath, paths.settingsPath) || failSilently(failure);
}

bool undecodableExecutablePath(const Text& executablePath, Failure& warning)
{
    size_t undecodable = platform::firstUndecodableByte(executablePath);
    if (undecodable >= executablePath.length())
        return false;
    Text name;
    if (pathUpToNameAt(executablePath, undecodable, platform::kPathSeparator, name))
        fail(warning, kUndecodableNameFormat, name.chars());
    else
        fail(warning, kUndecodableNameFormat); // as when the filled format cannot get memory
    return true;
}
