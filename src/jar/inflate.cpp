#include "jar/inflate.h"

namespace {

const int kLongestCode = 15;
const int kLengthCodes = 286;
const int kDistanceCodes = 30;
const int kFixedLengthCodes = 288;

struct Stream {
    const unsigned char* in;
    size_t inLength;
    size_t inPosition;
    unsigned char* out;
    size_t outLength;
    size_t outPosition;
    unsigned long bitBuffer;
    int bitCount;
    bool cutShort;

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
};

// A canonical Huffman code: how many codes there are of each length, and the
// symbols in code order.
struct Huffman {
    short counts[kLongestCode + 1];
    short symbols[kFixedLengthCodes];
};

// False for an over-subscribed set of lengths; an incomplete one is taken,
// and a code it lacks fails when it is met.
bool buildHuffman(Huffman& code, const unsigned char* lengths, int count)
{
    for (short& n : code.counts)
        n = 0;
    for (int symbol = 0; symbol < count; ++symbol)
        ++code.counts[lengths[symbol]];
    int left = 1;
    for (int length = 1; length <= kLongestCode; ++length) {
        left = left * 2 - code.counts[length];
        if (left < 0)
            return false;
    }
    short offsets[kLongestCode + 1];
    offsets[1] = 0;
    for (int length = 1; length < kLongestCode; ++length)
        offsets[length + 1] = static_cast<short>(offsets[length] + code.counts[length]);
    for (int symbol = 0; symbol < count; ++symbol)
        if (lengths[symbol] != 0)
            code.symbols[offsets[lengths[symbol]]++] = static_cast<short>(symbol);
    return true;
}

// The next symbol, or -1 when the stream holds no code of this set.
int decode(Stream& stream, const Huffman& code)
{
    int first = 0;
    int index = 0;
    int value = 0;
    for (int length = 1; length <= kLongestCode; ++length) {
        value |= static_cast<int>(stream.bits(1));
        int count = code.counts[length];
        if (value - first < count)
            return stream.cutShort ? -1 : code.symbols[index + value - first];
        index += count;
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
    if (stream.inLength - stream.inPosition < 4)
        return false;
    const unsigned char* header = stream.in + stream.inPosition;
    unsigned length = header[0] | (header[1] << 8);
    unsigned complement = header[2] | (header[3] << 8);
    stream.inPosition += 4;
    if (length != (~complement & 0xFFFFu) || stream.inLength - stream.inPosition < length
        || stream.outLength - stream.outPosition < length)
        return false;
    for (unsigned i = 0; i < length; ++i)
        stream.out[stream.outPosition++] = stream.in[stream.inPosition++];
    return true;
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
            if (stream.outPosition == stream.outLength)
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
        if (stream.cutShort || distance > stream.outPosition || stream.outLength - stream.outPosition < length)
            return false;
        for (size_t i = 0; i < length; ++i, ++stream.outPosition)
            stream.out[stream.outPosition] = stream.out[stream.outPosition - distance];
    }
}

bool fixedBlock(Stream& stream)
{
    unsigned char lengths[kFixedLengthCodes];
    for (int symbol = 0; symbol < kFixedLengthCodes; ++symbol)
        lengths[symbol] = symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8;
    Huffman lengthCode;
    Huffman distanceCode;
    buildHuffman(lengthCode, lengths, kFixedLengthCodes);
    for (int symbol = 0; symbol < kDistanceCodes; ++symbol)
        lengths[symbol] = 5;
    buildHuffman(distanceCode, lengths, kDistanceCodes);
    return compressedBlock(stream, lengthCode, distanceCode);
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
    if (stream.cutShort || !buildHuffman(code, lengths, 19))
        return false;
    int total = lengthCount + distanceCount;
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

bool inflateRaw(const unsigned char* in, size_t inLength, unsigned char* out, size_t outLength)
{
    Stream stream = { in, inLength, 0, out, outLength, 0, 0, 0, false };
    bool last = false;
    while (!last) {
        last = stream.bits(1) != 0;
        unsigned kind = stream.bits(2);
        bool done = false;
        if (stream.cutShort)
            return false;
        if (kind == 0)
            done = storedBlock(stream);
        else if (kind == 1)
            done = fixedBlock(stream);
        else if (kind == 2)
            done = dynamicBlock(stream);
        if (!done || stream.cutShort)
            return false;
    }
    return stream.outPosition == outLength;
}
