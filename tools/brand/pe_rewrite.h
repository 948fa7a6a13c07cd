#pragma once
// Changes to a PE executable whose layout readPeLayout accepted.
#include "byte_io.h"
#include "outcome.h"
#include "pe_layout.h"

enum class Subsystem : uint16_t { Gui = 2, Console = 3 };

// The resource section's file data, as the resource tree is read from it.
ByteView resourceSectionData(ByteView file, const PeLayout& layout);

// The file with new contents for the resource section (laid out for the
// section's unchanged address), and the base relocation section, unchanged,
// moved to follow it. Headers, section table and data directories are
// updated to match; the checksum is left to updateChecksum. Fails when the
// image would outgrow the 32-bit address space.
Outcome<Bytes> withResourceSection(ByteView file, const PeLayout& layout, const Bytes& resources);

void setSubsystem(Bytes& file, const PeLayout& layout, Subsystem subsystem);

void updateChecksum(Bytes& file, const PeLayout& layout);
