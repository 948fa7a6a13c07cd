// The inflater against zlib, which the JDK inflates with, on the same raw
// deflate stream: both read it or both refuse it, and give the same bytes,
// read either way the launcher reads it: to the stream's end, as
// java.util.zip reads a whole entry, or until the buffer is full, as the java
// launcher's one inflate call does. The input's first two bytes give the
// buffer's size, the first one's low bit which way; the stream follows.
#include "fuzz_check.h"
#include "jar/inflate.h"

#include <zlib.h>

#include <stdint.h>
#include <string.h>

#include <memory>
#include <vector>

namespace {

// zlib as java.util.zip reads an entry: to the stream's end, exactly `size` bytes.
bool zlibToEnd(const uint8_t* in, size_t inLength, std::vector<uint8_t>& out, size_t size)
{
    z_stream stream = {};
    FUZZ_REQUIRE(inflateInit2(&stream, -MAX_WBITS) == Z_OK);
    out.assign(size + 1, 0);
    stream.next_in = const_cast<Bytef*>(in);
    stream.avail_in = static_cast<uInt>(inLength);
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    int result = inflate(&stream, Z_NO_FLUSH);
    bool read = result == Z_STREAM_END && stream.total_out == size;
    inflateEnd(&stream);
    return read;
}

// zlib as the java launcher reads an entry: one call into a buffer of `size` bytes.
bool zlibUntilFull(const uint8_t* in, size_t inLength, std::vector<uint8_t>& out, size_t size)
{
    z_stream stream = {};
    FUZZ_REQUIRE(inflateInit2(&stream, -MAX_WBITS) == Z_OK);
    out.assign(size, 0);
    stream.next_in = const_cast<Bytef*>(in);
    stream.avail_in = static_cast<uInt>(inLength);
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(size);
    int result = inflate(&stream, Z_PARTIAL_FLUSH);
    bool read = (result == Z_OK || result == Z_STREAM_END) && stream.total_out == size;
    inflateEnd(&stream);
    return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    bool untilFull = data[0] & 1;
    size_t outLength = (data[0] >> 1) | (static_cast<size_t>(data[1]) << 7);
    data += 2;
    size -= 2;
    // zlib reports a call that could do nothing at all as an error of its own.
    if (untilFull && outLength == 0)
        return 0;
    std::vector<uint8_t> expected;
    bool zlibRead = untilFull ? zlibUntilFull(data, size, expected, outLength)
                              : zlibToEnd(data, size, expected, outLength);
    // Exactly the stream's bytes and the buffer's, so that a step past either is caught.
    std::unique_ptr<uint8_t[]> in(new uint8_t[size]);
    memcpy(in.get(), data, size);
    std::unique_ptr<uint8_t[]> out(new uint8_t[outLength]);
    bool read = inflateRaw(in.get(), size, out.get(), outLength,
                           untilFull ? InflateEnd::BufferFull : InflateEnd::StreamEnd);
    FUZZ_REQUIRE(read == zlibRead);
    FUZZ_REQUIRE(!read || memcmp(out.get(), expected.data(), outLength) == 0);
    return 0;
}
