// The launcher allocates only through allocateMemory; these replacements keep
// the C++ runtime's throwing operator new, and with it the exception
// machinery, out of the executable.
#include "common/memory.h"

#include <new>

void* operator new(size_t size)
{
    return allocateMemory(size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return allocateMemory(size);
}

void operator delete(void* block) noexcept
{
    releaseMemory(block);
}

void operator delete(void* block, size_t) noexcept
{
    releaseMemory(block);
}
