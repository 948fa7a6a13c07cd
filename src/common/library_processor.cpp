#include "common/library_processor.h"

#include <stdint.h>

namespace {

uint32_t little16(const unsigned char* p)
{
    return p[0] | (p[1] << 8);
}

uint32_t little32(const unsigned char* p)
{
    return little16(p) | (little16(p + 2) << 16);
}

LibraryProcessor peProcessor(const unsigned char* head, size_t length)
{
    LibraryProcessor result;
    if (length < 0x40)
        return result;
    // The DOS header's e_lfanew points at "PE\0\0", the file header (20
    // bytes) and the optional header's magic.
    uint32_t pe = little32(head + 0x3C);
    if (pe > length || length - pe < 4 + 20 + 2 || little32(head + pe) != 0x00004550)
        return result;
    uint32_t magic = little16(head + pe + 24);
    if (magic != 0x10B && magic != 0x20B)
        return result;
    result.format = LibraryProcessor::Format::Pe;
    result.code = little16(head + pe + 4);
    result.bits = magic == 0x20B ? 64 : 32;
    return result;
}

LibraryProcessor elfProcessor(const unsigned char* head, size_t length)
{
    LibraryProcessor result;
    // e_ident: class at 4 (1: 32-bit, 2: 64-bit), data at 5 (1: little
    // endian); e_machine at 18.
    if (length < 20 || (head[4] != 1 && head[4] != 2) || (head[5] != 1 && head[5] != 2))
        return result;
    result.format = LibraryProcessor::Format::Elf;
    result.code = head[5] == 1 ? little16(head + 18) : (head[18] << 8 | head[19]);
    result.bits = head[4] == 2 ? 64 : 32;
    return result;
}

}

LibraryProcessor libraryProcessor(const unsigned char* head, size_t length)
{
    if (length >= 2 && head[0] == 'M' && head[1] == 'Z')
        return peProcessor(head, length);
    if (length >= 4 && head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' && head[3] == 'F')
        return elfProcessor(head, length);
    return LibraryProcessor();
}
