#include "splash/runtime_splash.h"

#include "common/memory.h"
#include "common/text_scan.h"
#include "common/trace.h"
#include "jar/main_jar_splash.h"
#include "jar/zip_entry.h"
#include "platform/files.h"
#include "platform/libraries.h"

#include <string.h>

namespace {

const char kNotDecoded[] = "not shown: the splash library could not read or decode it";

struct Symbol {
    const char* name;
    void** address;
};

bool startsWith(const char* head, size_t length, const char* signature, size_t signatureLength)
{
    return length >= signatureLength && memcmp(head, signature, signatureLength) == 0;
}

bool findSymbols(void* loadedLibrary, SplashLibrary& library)
{
    const Symbol symbols[] = {
        { "SplashInit", reinterpret_cast<void**>(&library.init) },
        { "SplashGetScaledImgNameMaxPstfixLen", reinterpret_cast<void**>(&library.scaledImageNameMaximumLength) },
        { "SplashGetScaledImageName", reinterpret_cast<void**>(&library.scaledImageName) },
        { "SplashSetScaleFactor", reinterpret_cast<void**>(&library.setScaleFactor) },
        { "SplashLoadFile", reinterpret_cast<void**>(&library.loadFile) },
        { "SplashLoadMemory", reinterpret_cast<void**>(&library.loadMemory) },
        { "SplashSetFileJarName", reinterpret_cast<void**>(&library.setFileJarName) },
        { "SplashClose", reinterpret_cast<void**>(&library.close) },
    };
    for (const Symbol& symbol : symbols) {
        platform::LibraryFailure failure;
        *symbol.address = platform::findSymbol(loadedLibrary, symbol.name, failure);
        if (!*symbol.address) {
            trace("splash library: no %s", { symbol.name });
            return false;
        }
    }
    return true;
}

// The name of the variant for the screen's scale, and that scale, when the
// library names one.
bool scaledImageName(const SplashLibrary& library, const char* jar, const Text& image, MemoryBlock& name,
                     float& scale)
{
    int length = library.scaledImageNameMaximumLength(image.chars());
    name.reset(length > 0 ? static_cast<char*>(allocateMemory(static_cast<size_t>(length))) : nullptr);
    scale = 1;
    return name.isValid() && library.scaledImageName(jar, image.chars(), &scale, name.get(), static_cast<size_t>(length));
}


}

bool isRuntimeSplashImage(const char* head, size_t length)
{
    return startsWith(head, length, "GIF8", 4) || startsWith(head, length, "\x89PNG", 4)
        || startsWith(head, length, "\xFF\xD8\xFF", 3);
}

SplashShowing showImage(const SplashLibrary& library, const Text& image)
{
    SplashShowing showing;
    showing.started = library.init() != 0;
    if (!showing.started)
        return showing;
    MemoryBlock scaledName;
    float scale = 1;
    if (scaledImageName(library, nullptr, image, scaledName, scale)) {
        library.setScaleFactor(scale);
        showing.loaded = library.loadFile(scaledName.get()) != 0;
    } else {
        showing.loaded = library.loadFile(image.chars()) != 0;
    }
    // java.awt.SplashScreen.getImageURL names the file.
    library.setFileJarName(image.chars(), nullptr);
    return showing;
}

SplashShowing showJarImage(const SplashLibrary& library, const Text& jar, const Text& image)
{
    SplashShowing showing;
    Text bytes;
    if (!readZipEntry(jar.chars(), image.chars(), kLargestJarSplashImage, bytes))
        return showing;
    showing.started = library.init() != 0;
    if (!showing.started)
        return showing;
    MemoryBlock scaledName;
    float scale = 1;
    Text scaledBytes;
    if (scaledImageName(library, jar.chars(), image, scaledName, scale)
        && readZipEntry(jar.chars(), scaledName.get(), kLargestJarSplashImage, scaledBytes)) {
        library.setScaleFactor(scale);
        bytes = static_cast<Text&&>(scaledBytes);
    }
    showing.loaded = library.loadMemory(const_cast<char*>(bytes.chars()), static_cast<int>(bytes.length())) != 0;
    // java.awt.SplashScreen.getImageURL names the entry in the JAR.
    library.setFileJarName(image.chars(), jar.chars());
    return showing;
}

RuntimeSplash showRuntimeSplash(const Text& runtimeHome, const Text& image, const Text& jar)
{
    RuntimeSplash splash;
    if (image.isEmpty())
        return splash;
    Text path;
    if (!path.assign(runtimeHome) || !endWithCharacter(path, platform::kPathSeparator)
        || !path.append(platform::kSplashLibraryPath))
        return splash;
    platform::LibraryFailure failure;
    void* loadedLibrary =
        platform::fileExists(path.chars()) ? platform::loadRuntimeLibrary(path.chars(), failure) : nullptr;
    trace("splash library %s: %s", { path, loadedLibrary ? "loaded" : "not there or not loadable" });
    SplashLibrary library;
    if (!loadedLibrary || !findSymbols(loadedLibrary, library))
        return splash;
    SplashShowing showing = jar.isEmpty() ? showImage(library, image) : showJarImage(library, jar, image);
    trace("splash image %s: %s", { image,
                                   !showing.started ? "not readable, or the library could not start"
                                   : showing.loaded ? "shown"
                                                    : kNotDecoded });
    if (showing.started)
        splash.reset(library.close);
    return splash;
}

void closeRuntimeSplash(SplashCloseFunction close)
{
    close();
}
