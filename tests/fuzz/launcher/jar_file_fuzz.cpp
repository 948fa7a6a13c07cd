// A whole JAR file, read as the launcher reads a main JAR for its splash
// image: the manifest as java.util.jar reads it, the SplashScreen-Image it
// names, that entry as the java launcher reads it. Where the java launcher's
// own reader is said to take the same manifest, it reads the same bytes.
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "jar/main_jar_splash.h"
#include "jar/manifest.h"
#include "jar/zip_entry.h"

namespace {

InputFile jar("launcher-fuzz.jar");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    jar.write(data, size);
    Text manifest;
    bool launcherReadsIt = false;
    ZipReading reading = readJarManifest(jar.path(), manifest, launcherReadsIt);
    FUZZ_REQUIRE(manifest.length() <= kLargestManifest);
    if (reading == ZipReading::Read && launcherReadsIt) {
        Text launcherManifest;
        FUZZ_REQUIRE(readZipEntry(jar.path(), kManifestEntry, kLargestManifest, launcherManifest));
        FUZZ_REQUIRE(sameText(launcherManifest, manifest));
    }

    TextList candidates;
    FUZZ_REQUIRE(candidates.append(jar.path()));
    Text mainJar;
    Text image;
    if (!findMainJarSplash(candidates, mainJar, image))
        return 0;
    FUZZ_REQUIRE(reading == ZipReading::Read && launcherReadsIt && !image.isEmpty());
    Text splash;
    if (readZipEntry(mainJar.chars(), image.chars(), kLargestJarSplashImage, splash))
        FUZZ_REQUIRE(splash.length() <= kLargestJarSplashImage);
    return 0;
}
