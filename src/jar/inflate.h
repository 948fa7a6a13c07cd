#pragma once
// Decompresses a raw deflate stream (RFC 1951), as a ZIP file's deflated
// entries hold it, into a buffer of the size the file's directory gives.
//
//   MemoryBlock out(...size...);
//   if (inflateRaw(data, dataLength, out.get(), size)) ...
//
// Built for hostile input: every read and write is bounded, and a stream that
// is cut short, malformed, or gives more or fewer bytes than `outLength` is
// refused (false), never read or written past.
#include <stddef.h>

bool inflateRaw(const unsigned char* in, size_t inLength, unsigned char* out, size_t outLength);
