#pragma once
// Turns a launcher executable into an application's own: its icon, its
// identity in the version record, its manifest settings and its subsystem,
// each changed only when asked for. The rest of the file stays as it was.
#include "byte_io.h"
#include "four_part_version.h"
#include "icon_images.h"
#include "manifest_settings.h"
#include "outcome.h"
#include "pe_rewrite.h"

#include <optional>
#include <string>
#include <vector>

// The version record's numbers and texts (UTF-8) an owner may set.
struct Identity {
    std::optional<FourPartVersion> fileVersion;
    std::optional<FourPartVersion> productVersion;
    std::optional<std::string> description;
    std::optional<std::string> productName;
    std::optional<std::string> company;
    std::optional<std::string> copyright;
};

struct Branding {
    // The new file's name (no folder): the version record's OriginalFilename,
    // and without its extension its InternalName, whenever resources change.
    std::string outputFileName;
    std::vector<IconImage> icons;  // none: the icon stays
    Identity identity;
    ManifestSettings manifest;
    std::optional<Subsystem> subsystem;
};

Outcome<Bytes> brandExecutable(ByteView launcher, const Branding& branding);

// The last check before the branded file takes its name: the tool reads what
// it made as it read the launcher, and branding it again the same way must
// succeed. A file the tool writes is one it accepts.
Status checkReadsBack(ByteView branded, const Branding& branding);
