#pragma once
#include "common/unique_handle.h"

#include <stddef.h>

// Every allocation of the launcher's own types goes through here, so that
// running out of memory is one explicit null result rather than an exception.
void* allocateMemory(size_t size);
void releaseMemory(void* block);

// A block of bytes from allocateMemory, released when its owner goes.
using MemoryBlock = UniqueHandle<char*, releaseMemory>;

// Fault injection for tests: the next `successes` allocations succeed, every
// later one fails. A negative count switches failures off again.
void failAllocationsAfter(long successes);
