#include "pe_checksum.h"

uint32_t peChecksum(ByteView file, size_t checksumOffset)
{
    uint32_t sum = 0;
    for (size_t at = 0; at < file.size(); at += 2) {
        if (at >= checksumOffset && at < checksumOffset + 4)
            continue;
        // An odd last byte counts as a word with a zero high byte.
        uint16_t word = at + 1 < file.size() ? file.le16(at) : file.u8(at);
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<uint32_t>((sum & 0xFFFF) + file.size());
}
