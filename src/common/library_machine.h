#pragma once
// Which processor a library's code is built for, as its own headers say: the
// PE headers of a Windows DLL, the ELF header of a Linux shared object.
#include <stddef.h>

struct LibraryMachine {
    enum class Format { Unknown, Pe, Elf };
    Format format = Format::Unknown;
    unsigned machine = 0; // PE: the file header's Machine; ELF: e_machine
    unsigned bits = 0;    // 32 or 64: PE's optional header magic, ELF's class

    bool isKnown() const { return format != Format::Unknown; }
    bool operator==(const LibraryMachine& other) const
    {
        return format == other.format && machine == other.machine && bits == other.bits;
    }
};

// Reads the machine from the first bytes of a library file; unknown when they
// are not the headers of either kind (or are cut short).
LibraryMachine libraryMachine(const unsigned char* head, size_t length);
