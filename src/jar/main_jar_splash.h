#pragma once
// The splash image a main JAR's manifest names, as java -jar shows it.
//
//   Text jar, image;
//   if (findMainJarSplash(launcher.mainJarCandidates, jar, image)) ... readZipEntry(jar, image, ...)
#include "common/text.h"
#include "common/text_list.h"

#include <stddef.h>

// The main JAR is the first candidate that the runtime's java.util.jar reads
// and finds a Main-Class in, as the launch picks it; true when java -jar would
// show its SplashScreen-Image: the java launcher's own reader takes the JAR
// too, and finds one named. A candidate this reader cannot tell about ends
// the search without a splash.
bool findMainJarSplash(const TextList& candidates, Text& jar, Text& image);

// A splash image in a JAR is read up to this size.
const size_t kLargestJarSplashImage = 16 * 1024 * 1024;
