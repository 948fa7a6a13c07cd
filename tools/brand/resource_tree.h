#pragma once
// The resource section as a tree: types, then names, then languages, each
// language holding one resource's bytes. Read from a section's data and
// written back laid out the way resource compilers lay it out: all
// directory tables first (each type's table followed by its names' language
// tables), then the name strings, the data entries, and the data, each
// resource, and the end, aligned to 8 bytes.
#include "byte_io.h"
#include "outcome.h"

#include <string>
#include <vector>

enum : uint32_t {
    kIconResource = 3,
    kVersionResource = 16,
    kGroupIconResource = 14,
    kManifestResource = 24,
};

// A type or resource name: a string when name is not empty, else a number.
struct ResourceId {
    uint32_t number = 0;
    std::u16string name;

    bool operator==(const ResourceId& other) const { return number == other.number && name == other.name; }
};

// The fields of a directory table that say nothing of its entries, kept as
// they were read.
struct DirectoryStamp {
    uint32_t characteristics = 0;
    uint32_t timeDateStamp = 0;
    uint16_t majorVersion = 0;
    uint16_t minorVersion = 0;
};

struct ResourceData {
    uint32_t language = 0;
    uint32_t codePage = 0;
    Bytes data;
};

struct ResourceEntry {
    ResourceId name;
    DirectoryStamp stamp;
    std::vector<ResourceData> languages;
};

struct ResourceType {
    ResourceId type;
    DirectoryStamp stamp;
    std::vector<ResourceEntry> entries;
};

struct ResourceTree {
    DirectoryStamp stamp;
    std::vector<ResourceType> types;

    ResourceType* find(uint32_t type);
    void remove(uint32_t type);
    // The type's entries, added (empty) when the tree has none.
    ResourceType& add(uint32_t type);
};

// section: the resource section's data, which the image maps at sectionRva.
Outcome<ResourceTree> readResourceTree(ByteView section, uint32_t sectionRva);

// Entries come out in the order lookups need: names (by code unit), then
// numbers, each ascending.
Bytes writeResourceTree(ResourceTree tree, uint32_t sectionRva);
