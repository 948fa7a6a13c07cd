#pragma once
// Decompresses a raw deflate stream (RFC 1951), as a ZIP file's deflated
// entries hold it, into a buffer of the size the file's directory gives.
//
//   MemoryBlock out(...size...);
//   if (inflateRaw(data, dataLength, out.get(), size)) ...
//
// Built for hostile input: every read and write is bounded, and a stream that
// is cut short, malformed, or gives more or fewer bytes than `outLength` is
// refused (false), never read or written past. Malformed is what zlib, which
// the JDK inflates with, refuses: an incomplete set of code lengths among
// them, but for a literal/length or distance code of one code of length 1.
#include <stddef.h>

// How far the stream is followed: to its end, as java.util.zip reads a whole
// entry, or until the buffer is full, as zlib's inflate given a buffer of
// that size stops; what follows is then not looked at, unless zlib would look
// at it before it needs room again.
enum class InflateEnd { StreamEnd, BufferFull };

bool inflateRaw(const unsigned char* in, size_t inLength, unsigned char* out, size_t outLength,
                InflateEnd end = InflateEnd::StreamEnd);
