#include "common/memory.h"

#include <stdlib.h>

namespace {
long remainingSuccesses = -1;
}

void* allocateMemory(size_t size)
{
    if (remainingSuccesses == 0)
        return nullptr;
    if (remainingSuccesses > 0)
        --remainingSuccesses;
    return malloc(size == 0 ? 1 : size);
}

void releaseMemory(void* block)
{
    free(block);
}

void failAllocationsAfter(long successes)
{
    remainingSuccesses = successes < 0 ? -1 : successes;
}
