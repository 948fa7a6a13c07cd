#pragma once
// A GIF, PNG or JPEG splash shown by the chosen runtime's own splash library,
// as the java launcher shows one: the library is loaded after the VM library
// and before the machine is created, and java.awt.SplashScreen then finds the
// splash, can draw on it, and the application's first AWT window closes it.
//
//   loadVmLibrary(...);
//   RuntimeSplash splash = showRuntimeSplash(runtime.home, image, noJar);
//   createVm(...); ... main returns ...
//   // the splash closes as its owner goes
#include "common/text.h"
#include "common/unique_handle.h"

#include <stddef.h>

// Whether a file that begins with these bytes is for the runtime's splash
// library (GIF, PNG, JPEG, as it decides by the first bytes); a BMP file is
// not, and keeps the launcher's own window.
bool isRuntimeSplashImage(const char* head, size_t length);
// Enough of a file's start for isRuntimeSplashImage.
const size_t kSplashImageHeadLength = 4;

// The entry points of the runtime's splash library, as the java launcher
// calls them.
struct SplashLibrary {
    int (*init)();
    int (*scaledImageNameMaximumLength)(const char* file);
    unsigned char (*scaledImageName)(const char* jar, const char* file, float* scale, char* name, size_t length);
    void (*setScaleFactor)(float scale);
    int (*loadFile)(const char* file);
    int (*loadMemory)(void* data, int size);
    void (*setFileJarName)(const char* file, const char* jar);
    void (*close)();
};

// How showing an image went. Started (what the result tests as): the library
// started, and is closed after main. Loaded: it took the image; a file it
// cannot read or an image it cannot decode it does not show, and it closes
// its splash itself.
struct SplashShowing {
    bool started = false;
    bool loaded = false;

    explicit operator bool() const { return started; }
};

// Shows the image, or the variant the library picks for the screen's scale
// (name@2x.png, name@150pct.png); not started when the library could not start.
SplashShowing showImage(const SplashLibrary& library, const Text& image);
// The same for an image inside a JAR file, as java -jar shows a main JAR's
// SplashScreen-Image: its bytes, or those of the scaled variant when the JAR
// holds it; not started when the image cannot be read or the library could
// not start.
SplashShowing showJarImage(const SplashLibrary& library, const Text& jar, const Text& image);

// The runtime's splash, once shown: the library's SplashClose, called when
// the owner goes; the library closes the splash unless the application has
// closed it.
using SplashCloseFunction = void (*)();
void closeRuntimeSplash(SplashCloseFunction close);
using RuntimeSplash = UniqueHandle<SplashCloseFunction, closeRuntimeSplash>;

// Shows the image, a file, or with a JAR an entry of it (the main JAR's
// SplashScreen-Image), through the runtime's splash library if the runtime
// has one; nothing without an image. Never stops the launch: a runtime
// without the library shows no splash.
RuntimeSplash showRuntimeSplash(const Text& runtimeHome, const Text& image, const Text& jar);
