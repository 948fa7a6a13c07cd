#include "launcher/launcher.h"

#include "jvm/main_invocation.h"
#include "jvm/startup_cache.h"
#include "splash/splash_screen.h"

Launcher::~Launcher()
{
    destroySplash(*this);
    destroyVm(*this);
    sealStartupArchive(startupArchive);
    // The members are then released in reverse order: startupArchive,
    // preferredVersions, vmOptions, arguments, mainClassName, jvmLibraryPath.
}
