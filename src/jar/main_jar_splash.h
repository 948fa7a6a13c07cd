#pragma once
// The main JAR among the class path's JAR files, as the runtime picks it, and
// the splash image its manifest names, as java -jar shows it.
//
//   size_t index;
//   Text image;
//   if (findMainJar(classPathJars, index, image)) ... run classPathJars.at(index); show image unless empty
#include "common/text.h"
#include "common/text_list.h"

#include <stddef.h>

// The main JAR is the first candidate that the runtime's java.util.jar reads
// and finds a Main-Class in; a candidate this reader cannot tell about (a
// ZIP64 file, one past its bounds) is taken for it, and the runtime decides.
// True with its index, and its SplashScreen-Image when java -jar would show
// it (the java launcher's own reader takes the JAR too, and finds one named),
// else the empty text; false when no candidate names a Main-Class.
bool findMainJar(const TextList& candidates, size_t& index, Text& image);
// The same, true only when java -jar would show a splash.
bool findMainJarSplash(const TextList& candidates, Text& jar, Text& image);

// A splash image in a JAR is read up to this size.
const size_t kLargestJarSplashImage = 16 * 1024 * 1024;
