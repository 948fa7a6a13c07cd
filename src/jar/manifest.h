#pragma once
// The main attributes of a JAR's manifest, as java.util.jar.Manifest reads
// them: "Name: value" lines ended by CR LF, LF or CR, a line that begins with
// a space continuing the one before (lines are cut at 72 bytes), names
// without regard to case, the main section ending at the first empty line.
//
//   Text image;
//   if (mainAttribute(manifest, "SplashScreen-Image", image)) ...
#include "common/text.h"

// The value of the main section's attribute (the last one, as the manifest
// keeps it); false when it has none.
bool mainAttribute(const Text& manifest, const char* name, Text& value);

// The JAR's manifest is read up to this size.
const size_t kLargestManifest = 1024 * 1024;
const char kManifestEntry[] = "META-INF/MANIFEST.MF";
