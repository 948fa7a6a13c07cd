#include "jar/main_jar_splash.h"

#include "common/trace.h"
#include "jar/manifest.h"
#include "jar/zip_entry.h"

bool findMainJarSplash(const TextList& candidates, Text& jar, Text& image)
{
    for (size_t i = 0; i < candidates.count(); ++i) {
        Text manifest;
        bool launcherReadsIt = false;
        ZipReading reading = readJarManifest(candidates.at(i).chars(), manifest, launcherReadsIt);
        if (reading == ZipReading::Refused || (reading == ZipReading::Read && !javaNamesMainClass(manifest))) {
            trace("JAR file %s: refused, or no Main-Class, as java reads it", { candidates.at(i) });
            continue;
        }
        if (!jar.assign(candidates.at(i)))
            return false;
        bool named = reading == ZipReading::Read && launcherReadsIt
            && mainAttribute(manifest, "SplashScreen-Image", image) && !image.isEmpty();
        const char* said = named ? image.chars()
            : reading == ZipReading::Read ? "no SplashScreen-Image that java -jar shows"
                                          : "not read here, so no splash";
        trace("main JAR %s: %s", { jar, said });
        return named;
    }
    return false;
}
