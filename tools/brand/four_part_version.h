#pragma once
// A Windows version number, A.B.C.D, each part 0 to 65535, as the version
// record's fixed part holds it (two 32-bit halves, A.B and C.D).
#include "outcome.h"

#include <stdint.h>
#include <string>

struct FourPartVersion {
    uint16_t parts[4];

    uint32_t high() const { return static_cast<uint32_t>(parts[0]) << 16 | parts[1]; }
    uint32_t low() const { return static_cast<uint32_t>(parts[2]) << 16 | parts[3]; }
    std::string text() const;
};

// Exactly four decimal numbers separated by dots, nothing else.
Outcome<FourPartVersion> parseFourPartVersion(const std::string& text);
