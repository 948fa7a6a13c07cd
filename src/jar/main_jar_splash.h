#pragma once
// The splash image a main JAR's manifest names, as java -jar shows it.
//
//   Text jar, image;
//   if (findMainJarSplash(launcher.mainJarCandidates, jar, image)) ... readZipEntry(jar, image, ...)
#include "common/text.h"
#include "common/text_list.h"

#include <stddef.h>

// The main JAR is the first candidate whose manifest names a Main-Class, as
// the launch picks it; true when its manifest also names a SplashScreen-Image.
bool findMainJarSplash(const TextList& candidates, Text& jar, Text& image);

// A splash image in a JAR is read up to this size.
const size_t kLargestJarSplashImage = 16 * 1024 * 1024;
