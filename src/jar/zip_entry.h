#pragma once
// Entries of a ZIP (JAR) file, read as the JDK reads them: the end record,
// which must end the file or its comment; the central directory, with every
// entry held to java.util.zip.ZipFile's checks; offsets counted from where the
// archive starts, behind any stub before it, as the directory's place before
// the end record tells; an entry's local header, then its bytes, stored or
// deflated.
//
//   Text image;
//   if (readZipEntry("app.jar", "images/splash.png", kLargestJarSplashImage, image)) ...
//
// The file may be anything: a name that is not there, a file cut short or
// damaged, an entry larger than `limit` or in another method all give false.
// Every read is bounded: ZIP64 files (more than 65535 entries or 4 GiB),
// directories past 16 MiB and entries that would inflate past `limit` are not
// read.
#include "common/text.h"

#include <stddef.h>

// Read; refused, as java.util.zip refuses the file or the entry, whichever
// runtime reads it; or not read for a reason of this reader's own (a ZIP64
// file, a bound, a check whose outcome differs between runtimes), though
// the runtime may read it.
enum class ZipReading { Read, Refused, NotRead };

// The first entry of that name, as the java launcher's own reader finds it.
bool readZipEntry(const char* path, const char* name, size_t limit, Text& contents);

// The manifest java.util.jar.JarFile reads (up to kLargestManifest bytes), and
// whether the java launcher's own reader takes the file and reads the same
// manifest. A JAR without one is refused: JarFile finds no Main-Class there.
ZipReading readJarManifest(const char* path, Text& manifest, bool& launcherReadsIt);
