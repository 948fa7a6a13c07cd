#include "config/module_path.h"

#include "common/trace.h"
#include "config/path_spelling.h"
#include "config/settings_path.h"
#include "launcher/error_reporting.h"
#include "launcher/launcher.h"
#include "platform/platform.h"

namespace {

const char kUnrepresentableNameFormat[] =
    "The name of %s cannot be represented in the system's code page. Install the application "
    "under names that the code page can represent, or turn on short (8.3) names on that volume.\n";
const char kUndecodableNameFormat[] =
    "The name of %s cannot be decoded in the locale's character encoding, and Java cannot read "
    "paths in it. Start the application in a UTF-8 locale (such as LANG=C.UTF-8), "
    "or install it in a folder whose names the locale can decode.\n";

}

bool getModulePath(const Launcher& launcher, Text& path)
{
    int errorCode = 0;
    if (platform::modulePath(path, errorCode))
        return true;
    if (errorCode == platform::kUnrepresentableNameError) {
        reportFormatted(launcher.messageOwner, kUnrepresentableNameFormat, path.chars());
        return false;
    }
    reportSystemError(launcher.messageOwner, kWindowsExceptionFormat,
                      "failed to get the module path", errorCode);
    return false;
}

bool getModuleDirectory(const Launcher& launcher, Text& directory)
{
    Text path;
    if (!getModulePath(launcher, path))
        return false;
    directory = directoryOfPath(path, platform::kPathSeparator);
    return true;
}

bool getIniPath(const Launcher& launcher, Text& iniPath)
{
    Text path;
    if (!getModulePath(launcher, path))
        return false;
    if (!platform::settingsPathForModule(path, iniPath)) {
        trace("no settings file: the executable's path %s has no '.'", { path });
        return false;
    }
    trace("settings file %s", { iniPath });
    return true;
}

void warnOfUndecodableModulePath(const Launcher& launcher)
{
    Text path;
    int errorCode = 0;
    if (!platform::modulePath(path, errorCode))
        return;
    size_t undecodable = platform::firstUndecodableByte(path);
    if (undecodable < path.length())
        reportFormatted(launcher.messageOwner, kUndecodableNameFormat,
                        pathUpToNameAt(path, undecodable, platform::kPathSeparator).chars());
}
