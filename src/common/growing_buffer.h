#pragma once
// Reads a text of unknown length from a system call that fills a buffer of a
// given size: the buffer doubles until the text fits.
#include "common/memory.h"
#include "common/text.h"

#include <stddef.h>

// How one attempt ended; on Complete the text is the buffer's first `length` bytes.
enum class FillResult { Complete, TooSmall, Failed };
enum class GrowResult { Complete, Failed, NoMemory, TooLarge };

// Calls fill(buffer, size, length) with `firstSize` bytes, then twice as many
// each time it answers TooSmall, up to `largestSize`.
template <typename Fill>
GrowResult fillGrowingBuffer(size_t firstSize, size_t largestSize, Text& text, Fill fill)
{
    for (size_t size = firstSize; size <= largestSize; size *= 2) {
        MemoryBlock buffer(static_cast<char*>(allocateMemory(size)));
        if (!buffer.isValid())
            return GrowResult::NoMemory;
        size_t length = 0;
        FillResult result = fill(buffer.get(), size, length);
        if (result == FillResult::Complete)
            return text.assign(buffer.get(), length) ? GrowResult::Complete : GrowResult::NoMemory;
        if (result == FillResult::Failed)
            return GrowResult::Failed;
        if (size > largestSize / 2)
            break;
    }
    return GrowResult::TooLarge;
}
