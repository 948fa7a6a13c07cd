#include "splash/runtime_splash.h"

#include "common/memory.h"
#include "common/text_scan.h"
#include "common/trace.h"
#include "launcher/launcher.h"
#include "platform/platform.h"

#include <string.h>

namespace {

struct Symbol {
    const char* name;
    void** address;
};

bool startsWith(const char* head, size_t length, const char* signature, size_t signatureLength)
{
    return length >= signatureLength && memcmp(head, signature, signatureLength) == 0;
}

bool findSymbols(void* module, SplashLibrary& library)
{
    const Symbol symbols[] = {
        { "SplashInit", reinterpret_cast<void**>(&library.init) },
        { "SplashGetScaledImgNameMaxPstfixLen", reinterpret_cast<void**>(&library.scaledImageNameMaximumLength) },
        { "SplashGetScaledImageName", reinterpret_cast<void**>(&library.scaledImageName) },
        { "SplashSetScaleFactor", reinterpret_cast<void**>(&library.setScaleFactor) },
        { "SplashLoadFile", reinterpret_cast<void**>(&library.loadFile) },
        { "SplashSetFileJarName", reinterpret_cast<void**>(&library.setFileJarName) },
        { "SplashClose", reinterpret_cast<void**>(&library.close) },
    };
    for (const Symbol& symbol : symbols) {
        platform::LibraryFailure failure;
        *symbol.address = platform::findSymbol(module, symbol.name, failure);
        if (!*symbol.address) {
            trace("splash library: no %s", { symbol.name });
            return false;
        }
    }
    return true;
}

}

bool isRuntimeSplashImage(const char* head, size_t length)
{
    return startsWith(head, length, "GIF8", 4) || startsWith(head, length, "\x89PNG", 4)
        || startsWith(head, length, "\xFF\xD8\xFF", 3);
}

bool showImage(const SplashLibrary& library, const Text& image)
{
    if (!library.init())
        return false;
    // The library names the variant for the screen's scale, if there is one.
    int length = library.scaledImageNameMaximumLength(image.chars());
    MemoryBlock scaledName(length > 0 ? static_cast<char*>(allocateMemory(static_cast<size_t>(length))) : nullptr);
    float scale = 1;
    if (scaledName.isValid()
        && library.scaledImageName(nullptr, image.chars(), &scale, scaledName.get(), static_cast<size_t>(length))) {
        library.setScaleFactor(scale);
        library.loadFile(scaledName.get());
    } else {
        library.loadFile(image.chars());
    }
    // java.awt.SplashScreen.getImageURL names the file.
    library.setFileJarName(image.chars(), nullptr);
    return true;
}

bool showRuntimeSplash(Launcher& launcher)
{
    if (launcher.splashImage.isEmpty() || launcher.splashSuppressed)
        return true;
    Text path = launcher.runtimeHome;
    if (!endWithCharacter(path, platform::kPathSeparator) || !path.append(platform::kSplashLibraryPath))
        return true;
    platform::LibraryFailure failure;
    void* module = platform::fileExists(path.chars()) ? platform::loadRuntimeLibrary(path.chars(), failure) : nullptr;
    trace("splash library %s: %s", { path, module ? "loaded" : "not there or not loadable" });
    SplashLibrary library;
    if (!module || !findSymbols(module, library))
        return true;
    bool shown = showImage(library, launcher.splashImage);
    trace("splash image %s: %s", { launcher.splashImage, shown ? "shown" : "the library could not start" });
    if (shown)
        launcher.closeSplashImage = library.close;
    return true;
}

void closeRuntimeSplash(Launcher& launcher)
{
    if (!launcher.closeSplashImage)
        return;
    launcher.closeSplashImage();
    launcher.closeSplashImage = nullptr;
}
