#pragma once
// Which processor a library's code is built for, as its own headers say: the
// PE headers of a Windows DLL, the ELF header of a Linux shared object.
#include <stddef.h>

struct LibraryProcessor {
    enum class Format { Unknown, Pe, Elf };
    Format format = Format::Unknown;
    unsigned code = 0;    // the processor's number: PE's file header Machine, ELF's e_machine
    unsigned bits = 0;    // 32 or 64: PE's optional header magic, ELF's class

    bool isKnown() const { return format != Format::Unknown; }
    bool operator==(const LibraryProcessor& other) const
    {
        return format == other.format && code == other.code && bits == other.bits;
    }
};

// Reads the processor from the first bytes of a library file; unknown when they
// are not the headers of either kind (or are cut short).
LibraryProcessor libraryProcessor(const unsigned char* head, size_t length);
