#pragma once
// The PE header's CheckSum: the file's 16-bit words summed with their carries
// folded back in, the checksum field itself left out, plus the file's length.
// Windows checks it for drivers and some system files, and tools compare it;
// a rewritten file gets it recomputed so that it still tells the truth.
#include "byte_io.h"

uint32_t peChecksum(ByteView file, size_t checksumOffset);
