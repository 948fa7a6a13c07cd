#pragma once
// The application's identity in the version resource: the fixed file and
// product versions (VS_FIXEDFILEINFO) and the strings of every string table
// (FileDescription is what the taskbar and Task Manager show). Whatever is
// not named keeps the value it had.
#include "byte_io.h"
#include "four_part_version.h"
#include "outcome.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct VersionEdits {
    std::optional<FourPartVersion> fileVersion;
    std::optional<FourPartVersion> productVersion;
    std::vector<std::pair<std::u16string, std::u16string>> strings;  // key, value
};

// existing: the version resource's bytes, or null to start from an empty
// record (version 0.0.0.0, an application, one US English table).
Outcome<Bytes> editVersionRecord(const Bytes* existing, const VersionEdits& edits);

// The string tables the edits would change in the record (one made for a
// record without any), or why the record cannot be read.
Outcome<size_t> stringTablesToEdit(const Bytes& existing);
