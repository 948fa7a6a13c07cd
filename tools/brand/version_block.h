#pragma once
// The blocks a version resource is made of (VS_VERSIONINFO, StringFileInfo,
// each string table and String, VarFileInfo and its Var): a key, a value and
// child blocks, each block's length covering its children. Read into a tree
// and written back with every length and padding worked out anew, so that
// a value may change length.
#include "byte_io.h"
#include "outcome.h"

#include <string>
#include <vector>

struct VersionBlock {
    enum : uint16_t { kBinary = 0, kText = 1 };

    std::u16string key;
    uint16_t type = kBinary;
    Bytes value;  // a text value holds UTF-16 with its terminating NUL
    std::vector<VersionBlock> children;

    VersionBlock* child(const std::u16string& childKey);
    // The text of a text value, without its NUL.
    std::u16string text() const;
    void setText(const std::u16string& text);
};

Outcome<VersionBlock> readVersionBlock(ByteView record);
Bytes writeVersionBlock(const VersionBlock& block);
