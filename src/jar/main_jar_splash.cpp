#include "jar/main_jar_splash.h"

#include "common/trace.h"
#include "jar/manifest.h"
#include "jar/zip_entry.h"

bool findMainJarSplash(const TextList& candidates, Text& jar, Text& image)
{
    for (size_t i = 0; i < candidates.count(); ++i) {
        Text manifest;
        Text mainClass;
        if (!readZipEntry(candidates.at(i).chars(), kManifestEntry, kLargestManifest, manifest)
            || !mainAttribute(manifest, "Main-Class", mainClass))
            continue;
        jar = candidates.at(i);
        bool named = mainAttribute(manifest, "SplashScreen-Image", image) && !image.isEmpty();
        trace("main JAR %s: %s", { jar, named ? image.chars() : "no SplashScreen-Image" });
        return named;
    }
    return false;
}
