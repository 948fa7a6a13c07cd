#include "config/module_path.h"

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
const char kModulePathFailed[] = "failed to get the module path";

}

bool findLaunchPaths(LaunchPaths& paths, Failure& failure)
{
    int errorCode = 0;
    if (!platform::modulePath(paths.modulePath, errorCode)) {
        if (errorCode == platform::kUnrepresentableNameError)
            return fail(failure, kUnrepresentableNameFormat, paths.modulePath.chars());
        return fail(failure, kWindowsExceptionFormat, kModulePathFailed, errorCode);
    }
    paths.directory = directoryOfPath(paths.modulePath, platform::kPathSeparator);
    paths.applicationName = nameWithoutExtension(paths.modulePath, platform::kPathSeparator);
    return settingsPathBeside(paths.modulePath, paths.settingsPath) || failSilently(failure);
}

bool undecodableModulePath(const Text& modulePath, Failure& warning)
{
    size_t undecodable = platform::firstUndecodableByte(modulePath);
    if (undecodable >= modulePath.length())
        return false;
    fail(warning, kUndecodableNameFormat,
         pathUpToNameAt(modulePath, undecodable, platform::kPathSeparator).chars());
    return true;
}
