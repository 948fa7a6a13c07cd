#include "config/module_path.h"

#include "common/trace.h"
#include "config/settings_path.h"
#include "launcher/error_reporting.h"
#include "launcher/launcher.h"
#include "platform/platform.h"

bool getModulePath(const Launcher& launcher, Text& path)
{
    int errorCode = 0;
    if (platform::modulePath(path, errorCode))
        return true;
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
