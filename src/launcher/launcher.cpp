#include "launcher/launcher.h"

#include "jvm/main_invocation.h"
#include "splash/splash_screen.h"

Launcher::~Launcher()
{
    destroySplash(*this);
    destroyVm(*this);
    // The members are then released in reverse order: preferredVersions,
    // vmOptions, arguments, mainClassName, jvmLibraryPath.
}
