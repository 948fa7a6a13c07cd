#pragma once
// One entry of a ZIP (JAR) file, read as the java launcher's own small ZIP
// reader reads it: the end record, the central directory, the entry's local
// header, then its bytes, stored or deflated.
//
//   Text manifest;
//   if (readZipEntry("app.jar", "META-INF/MANIFEST.MF", kLargestManifest, manifest)) ...
//
// The file may be anything: a name that is not there, a file cut short or
// damaged, an entry larger than `limit` or in another method all give false.
// ZIP64 files (more than 65535 entries or 4 GiB) are not read.
#include "common/text.h"

#include <stddef.h>

bool readZipEntry(const char* path, const char* name, size_t limit, Text& contents);
