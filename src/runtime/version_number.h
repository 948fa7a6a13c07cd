#pragma once
// Runtime version numbers as the registry names them (1.4.2_05, 1.6.0_10-rc):
// up to four numbers, any run of other characters between two of them.
#include "common/text.h"

struct VersionNumber {
    int components[4] = { 0, 0, 0, 0 };
    int count = 0; // how many components the text gave
};

static const int kOpenMaximumComponent = 65535;

// Components the text does not give hold `fill` (0, or 65535 for a maximum).
VersionNumber parseVersion(const char* text, int fill);
// A "Minimum Version" or "Maximum Version" setting; "any" leaves the bound open.
VersionNumber parseVersionBound(const char* text, bool isMaximum);
int compareVersions(const VersionNumber& a, const VersionNumber& b);
bool sameVersion(const VersionNumber& a, const VersionNumber& b);
bool matchesPreferred(const VersionNumber& installed, const VersionNumber& entry);
bool isAnyVersion(const VersionNumber& version);
// Each is empty only when memory runs out, as a formatted message is.
Text formatVersion(const VersionNumber& version);
// What the not-found message asks for: "latest version", "minimum 1.4", ...
Text requirementText(const VersionNumber& minimum, const VersionNumber& maximum);
