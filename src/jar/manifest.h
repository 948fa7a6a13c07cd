#pragma once
// A JAR's manifest as java -jar reads it, twice: the java launcher's own
// reader (libjli) for the SplashScreen-Image, java.util.jar.Manifest for the
// Main-Class. Both take "Name: value" lines ended by CR LF, LF or CR, a line
// that begins with a space continuing the one before (lines are cut at 72
// bytes), names without regard to case, the main section ending at the first
// empty line; each refuses manifests that the other takes.
//
//   Text image;
//   if (javaNamesMainClass(manifest) && mainAttribute(manifest, "SplashScreen-Image", image)) ...
#include "common/text.h"

// The value of the main section's attribute (the last one) as the java
// launcher reads the manifest, which ends for it at a NUL byte; false when it
// has none, or when the launcher refuses the manifest: a header without ": "
// after its name, a continuation line without a line end.
bool mainAttribute(const Text& manifest, const char* name, Text& value);

// Whether java.util.jar.Manifest reads the manifest, every section of it, and
// its main section names a Main-Class. It refuses a line of 512 bytes without
// its end, a header without ": " after its name, a name of other than 1 to 70
// letters, digits, '-' and '_', a continuation line with nothing to continue,
// a section that does not begin with "Name: "; a last line without an end it
// leaves out.
bool javaNamesMainClass(const Text& manifest);

// java.util.jar.JarFile refuses a larger manifest (jdk.jar.maxSignatureFileSize).
const size_t kLargestManifest = 16000000;
const char kManifestEntry[] = "META-INF/MANIFEST.MF";
