#pragma once
// Versions of runtimes found outside the Java Runtime Environment key, read
// the way settings files write them: Java 8 and older as 1.x.
#include "common/text.h"
#include "runtime/version_number.h"

// The JAVA_VERSION of a runtime's release file (JAVA_VERSION="21.0.2"),
// quotes removed; false when the file has none.
bool releaseFileVersion(const Text& contents, Text& versionText);

// The JAVA_VERSION of the release file in a runtime's home; false when the
// file or the line is missing.
bool runtimeReleaseVersion(const Text& home, Text& versionText);

// A version text or a vendor's name for one (17.0.15.6, 8.0.392.8, zulu-8-jre,
// jdk-17) as a version: a first number from 2 to 8 is a Java that settings
// files write as 1.x, so 8.0.392.8 is 1.8.0.392 and zulu-8-jre is 1.8.
VersionNumber javaVersion(const char* text);
