#pragma once
// Where things are in a PE executable, as far as rewriting its resources
// needs: the headers' offsets, the section table, and the resource and base
// relocation sections. Reading refuses any layout the rewrite could not
// handle exactly, so that a file it accepts comes out loadable.
#include "byte_io.h"
#include "outcome.h"

#include <optional>
#include <string>
#include <vector>

struct Section {
    std::string name;  // printable, as messages show it
    size_t headerOffset;  // of its entry in the section table
    uint32_t virtualSize;
    uint32_t virtualAddress;
    uint32_t rawSize;
    uint32_t rawOffset;
    uint32_t characteristics;
};

struct PeLayout {
    bool is64;
    size_t optionalHeaderOffset;
    size_t dataDirectoriesOffset;
    uint32_t dataDirectoryCount;
    uint32_t fileAlignment;
    uint32_t sectionAlignment;
    std::vector<Section> sections;
    size_t resourceSection;                   // index into sections
    std::optional<size_t> relocationSection;  // the one right after it, if any

    size_t checksumOffset() const { return optionalHeaderOffset + 64; }
    size_t subsystemOffset() const { return optionalHeaderOffset + 68; }
    size_t sizeOfInitializedDataOffset() const { return optionalHeaderOffset + 8; }
    size_t sizeOfImageOffset() const { return optionalHeaderOffset + 56; }
    size_t directoryOffset(size_t index) const { return dataDirectoriesOffset + 8 * index; }
};

// The bytes the loader maps for a section.
inline uint32_t loadedSize(const Section& section) { return section.virtualSize ? section.virtualSize : section.rawSize; }

// Data directory indexes.
enum : size_t { kResourceDirectory = 2, kSecurityDirectory = 4, kRelocationDirectory = 5, kDebugDirectory = 6 };

// A file the rewrite can handle: a 32-bit or 64-bit Windows executable whose
// resource section is the last section, or is followed only by the base
// relocation section.
Outcome<PeLayout> readPeLayout(ByteView file);
