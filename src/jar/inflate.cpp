#include "jar/inflate.h"

#include <string.h>

namespace {

const int kLongestCode = 15;
const int kLengthCodes = 286;
const int kDistanceCodes = 30;
const int kFixedLengthCodes = 288;
// zlib's fixed distance code has 32 codes; the last two are invalid ones.
const int kFixedDistanceCodes = 32;

// A canonical Huffman code: how many codes there are of each length, how
// many in all, and the symbols in code order.
struct Huffman {
    short counts[kLongestCode + 1];
    short coded;
    short symbols[kFixedLengthCodes];
};

struct Stream {
    const unsigned char* in;
    size_t inLength;
    size_t inPosition;
    unsigned char* out;
    size_t outLength;
    size_t outPosition;
    unsigned long bitBuffer;
    int bitCount;
    // The input ended before the stream did; what was read past it reads as zeros.
    bool cutShort;
    // A byte was due that the buffer had no room for.
    bool full;
    Huffman fixedLengthCode;
    Huffman fixedDistanceCode;
    bool fixedCodesBuilt;

    // Up to 16 bits, the first in the lowest; a stream that ends first reads as zeros and is marked.
    unsigned bits(int count)
    {
        unsigned long value = bitBuffer;
        while (bitCount < count) {
            if (inPosition == inLength) {
                cutShort = true;
                return 0;
            }
            value |= static_cast<unsigned long>(in[inPosition++]) << bitCount;
            bitCount += 8;
        }
        bitBuffer = value >> count;
        bitCount -= count;
        return static_cast<unsigned>(value & ((1UL << count) - 1));
    }

    // False, and marked, when the buffer has no room left.
    bool room()
    {
        full = outPosition == outLength;
        return !full;
    }
};

// Whether there are eight more lengths, all zero: a hostile stream may have a
// block after block of codes whose lengths are mostly zero, passed over here
// eight at a time.
bool eightZeros(const unsigned char* lengths, int left)
{
    unsigned long long eight = 1;
    return left >= 8 && (memcpy(&eight, lengths, 8), eight == 0);
}

// False for a set of lengths that zlib refuses: an over-subscribed one, or an
// incomplete one, but for an empty one and for a literal/length or distance
// code of a single code of length 1.
bool buildHuffman(Huffman& code, const unsigned char* lengths, int count, bool codeLengthCode = false)
{
    for (short& n : code.counts)
        n = 0;
    for (int group = 0; group < count; group += 8)
        if (!eightZeros(lengths + group, count - group))
            for (int symbol = group; symbol < group + 8 && symbol < count; ++symbol)
                ++code.counts[lengths[symbol]];
    code.coded = 0;
    int left = 1;
    for (int length = 1; length <= kLongestCode; ++length) {
        code.coded = static_cast<short>(code.coded + code.counts[length]);
        left = left * 2 - code.counts[length];
        if (left < 0)
            return false;
    }
    if (left > 0 && code.coded > (codeLengthCode ? 0 : code.counts[1]))
        return false;
    short offsets[kLongestCode + 1];
    offsets[1] = 0;
    for (int length = 1; length < kLongestCode; ++length)
        offsets[length + 1] = static_cast<short>(offsets[length] + code.counts[length]);
    for (int group = 0; group < count; group += 8)
        if (!eightZeros(lengths + group, count - group))
            for (int symbol = group; symbol < group + 8 && symbol < count; ++symbol)
                if (lengths[symbol] != 0)
                    code.symbols[offsets[lengths[symbol]]++] = static_cast<short>(symbol);
    return true;
}

// The next symbol, or -1 when the stream holds no code of this set: known,
// as zlib knows it, once the bits read are past every code there is. The
// bits are taken one at a time, in a loop of its own: most of the time goes here.
int decode(Stream& stream, const Huffman& code)
{
    unsigned long buffer = stream.bitBuffer;
    int left = stream.bitCount;
    int first = 0;
    int index = 0;
    int value = 0;
    for (int length = 1; length <= kLongestCode; ++length) {
        if (left == 0) {
            if (stream.inPosition == stream.inLength) {
                stream.cutShort = true;
                return -1;
            }
            buffer = stream.in[stream.inPosition++];
            left = 8;
        }
        value |= static_cast<int>(buffer & 1);
        buffer >>= 1;
        --left;
        int count = code.counts[length];
        stream.bitBuffer = buffer;
        stream.bitCount = left;
        if (value - first < count)
            return code.symbols[index + value - first];
        index += count;
        if (index == code.coded)
            return -1;
        first = (first + count) << 1;
        value <<= 1;
    }
    return -1;
}

bool storedBlock(Stream& stream)
{
    // The block starts at the next byte; the bits left of this one are padding.
    stream.bitBuffer = 0;
    stream.bitCount = 0;
    if (stream.inLength - stream.inPosition < 4) {
        stream.cutShort = true;
        return false;
    }
    const unsigned char* header = stream.in + stream.inPosition;
    size_t length = header[0] | (header[1] << 8);
    unsigned complement = header[2] | (header[3] << 8);
    stream.inPosition += 4;
    if (length != (~complement & 0xFFFFu))
        return false;
    // As zlib, as much as there is room and input for.
    size_t room = stream.outLength - stream.outPosition;
    size_t available = stream.inLength - stream.inPosition;
    size_t copied = length < room ? length : room;
    copied = copied < available ? copied : available;
    for (size_t i = 0; i < copied; ++i)
        stream.out[stream.outPosition++] = stream.in[stream.inPosition++];
    if (copied == length)
        return true;
    stream.full = copied == room;
    stream.cutShort = !stream.full;
    return false;
}

bool compressedBlock(Stream& stream, const Huffman& lengthCode, const Huffman& distanceCode)
{
    static const unsigned short lengthBase[29] = { 3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                   31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258 };
    static const unsigned char lengthExtra[29] = { 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                   2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0 };
    static const unsigned short distanceBase[30] = { 1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                                     33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                                     1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577 };
    static const unsigned char distanceExtra[30] = { 0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                     6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13 };
    for (;;) {
        int symbol = decode(stream, lengthCode);
        if (symbol < 0)
            return false;
        if (symbol == 256)
            return true;
        if (symbol < 256) {
            if (!stream.room())
                return false;
            stream.out[stream.outPosition++] = static_cast<unsigned char>(symbol);
            continue;
        }
        symbol -= 257;
        if (symbol >= 29)
            return false;
        size_t length = lengthBase[symbol] + stream.bits(lengthExtra[symbol]);
        int distanceSymbol = decode(stream, distanceCode);
        if (distanceSymbol < 0 || distanceSymbol >= 30)
            return false;
        size_t distance = distanceBase[distanceSymbol] + stream.bits(distanceExtra[distanceSymbol]);
        // zlib waits for room before it looks at how far back the distance reaches.
        if (stream.cutShort || !stream.room() || distance > stream.outPosition)
            return false;
        size_t room = stream.outLength - stream.outPosition;
        size_t copied = length < room ? length : room;
        for (size_t i = 0; i < copied; ++i, ++stream.outPosition)
            stream.out[stream.outPosition] = stream.out[stream.outPosition - distance];
        if (copied < length) {
            stream.full = true;
            return false;
        }
    }
}

// Built once a stream, since a hostile one may hold millions of empty fixed blocks.
bool fixedBlock(Stream& stream)
{
    if (!stream.fixedCodesBuilt) {
        unsigned char lengths[kFixedLengthCodes];
        for (int symbol = 0; symbol < kFixedLengthCodes; ++symbol)
            lengths[symbol] = symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8;
        buildHuffman(stream.fixedLengthCode, lengths, kFixedLengthCodes);
        for (int symbol = 0; symbol < kFixedDistanceCodes; ++symbol)
            lengths[symbol] = 5;
        buildHuffman(stream.fixedDistanceCode, lengths, kFixedDistanceCodes);
        stream.fixedCodesBuilt = true;
    }
    return compressedBlock(stream, stream.fixedLengthCode, stream.fixedDistanceCode);
}

bool dynamicBlock(Stream& stream)
{
    static const unsigned char order[19] = { 16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15 };
    int lengthCount = static_cast<int>(stream.bits(5)) + 257;
    int distanceCount = static_cast<int>(stream.bits(5)) + 1;
    int codeLengthCount = static_cast<int>(stream.bits(4)) + 4;
    if (lengthCount > kLengthCodes || distanceCount > kDistanceCodes)
        return false;
    unsigned char lengths[kLengthCodes + kDistanceCodes] = {};
    for (int i = 0; i < codeLengthCount; ++i)
        lengths[order[i]] = static_cast<unsigned char>(stream.bits(3));
    Huffman code;
    if (stream.cutShort || !buildHuffman(code, lengths, 19, true))
        return false;
    int total = lengthCount + distanceCount;
    // zlib reads each length of an empty code-length code as a zero of one
    // bit, and then finds no end-of-block code.
    if (code.coded == 0) {
        stream.bits(total % 16);
        for (int i = 0; i < total / 16; ++i)
            stream.bits(16);
        return false;
    }
    for (int i = 0; i < 19; ++i)
        lengths[i] = 0;
    for (int index = 0; index < total;) {
        int symbol = decode(stream, code);
        if (symbol < 0)
            return false;
        if (symbol < 16) {
            lengths[index++] = static_cast<unsigned char>(symbol);
            continue;
        }
        unsigned char repeated = 0;
        int times = 0;
        if (symbol == 16) {
            if (index == 0)
                return false;
            repeated = lengths[index - 1];
            times = 3 + static_cast<int>(stream.bits(2));
        } else {
            times = symbol == 17 ? 3 + static_cast<int>(stream.bits(3)) : 11 + static_cast<int>(stream.bits(7));
        }
        if (stream.cutShort || index + times > total)
            return false;
        while (times-- > 0)
            lengths[index++] = repeated;
    }
    // Without an end-of-block code the block could never end.
    if (lengths[256] == 0)
        return false;
    Huffman lengthCode;
    Huffman distanceCode;
    return buildHuffman(lengthCode, lengths, lengthCount)
        && buildHuffman(distanceCode, lengths + lengthCount, distanceCount)
        && compressedBlock(stream, lengthCode, distanceCode);
}

}

bool inflateRaw(const unsigned char* in, size_t inLength, unsigned char* out, size_t outLength, InflateEnd end)
{
    Stream stream = {};
    stream.in = in;
    stream.inLength = inLength;
    stream.out = out;
    stream.outLength = outLength;
    bool last = false;
    while (!last) {
        last = stream.bits(1) != 0;
        unsigned kind = stream.bits(2);
        bool done = !stream.cutShort
            && (kind == 0 ? storedBlock(stream) : kind == 1 ? fixedBlock(stream) : kind == 2 && dynamicBlock(stream));
        // A full buffer that wants more, or input that ends after it, is where zlib would stop for now.
        if (!done || stream.cutShort)
            return end == InflateEnd::BufferFull && (stream.full || stream.cutShort)
                && stream.outPosition == outLength;
    }
    return stream.outPosition == outLength;
}
