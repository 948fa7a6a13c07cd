#include "jar/main_jar_splash.h"

#include "common/trace.h"
#include "jar/manifest.h"
#include "jar/zip_entry.h"

bool findMainJar(const TextList& candidates, size_t& index, Text& image)
{
    image.clear();
    for (size_t i = 0; i < candidates.count(); ++i) {
        Text manifest;
        bool launcherReadsIt = false;
        ZipReading reading = readJarManifest(candidates.at(i).chars(), manifest, launcherReadsIt);
        if (reading == ZipReading::Refused || (reading == ZipReading::Read && !javaNamesMainClass(manifest))) {
            trace("JAR file %s: refused, or no Main-Class, as java reads it", { candidates.at(i) });
            continue;
        }
        index = i;
        bool named = reading == ZipReading::Read && launcherReadsIt
            && mainAttribute(manifest, "SplashScreen-Image", image) && !image.isEmpty();
        if (!named)
            image.clear();
        const char* said = named ? image.chars()
            : reading == ZipReading::Read ? "no SplashScreen-Image that java -jar shows"
                                          : "not read here, so no splash";
        trace("main JAR %s: %s", { candidates.at(i), said });
        return true;
    }
    return false;
}

bool findMainJarSplash(const TextList& candidates, Text& jar, Text& image)
{
    size_t index = 0;
    if (!findMainJar(candidates, index, image))
        return false;
    return jar.assign(candidates.at(index)) && !image.isEmpty();
}
