// The runtime allocator: zero-filled, 16-byte aligned blocks, counted
// against the heap budget, with the out-of-memory path that collects and
// then throws.
#pragma once

#include <cstddef>
#include <cstdint>

// Every block made by _VM_alloc is counted as (request + 4) bytes; the kind
// tells whether it counts against the heap budget.
enum VMBlockKind : uint32_t {
    VM_BLOCK_ORDINARY = 0,
    VM_BLOCK_EMERGENCY = 1,
    VM_BLOCK_UNCOUNTED = 2,
};

struct VMHeapAccount {
    bool running = false;
    uint64_t used = 0;
    uint64_t baseLimit = 0;
    uint64_t limit = 0;
    uint64_t maximum = 0;
};
extern VMHeapAccount _VM_heap;

// While a thread reports an out-of-memory condition, blocks of at most
// VM_EMERGENCY_BLOCK bytes come from the emergency path, beyond the limit and
// without a collection, until VM_EMERGENCY_BUDGET bytes have been taken so:
// enough to build and report the error. Past that, the ordinary path with its
// collections runs again.
constexpr uint64_t VM_EMERGENCY_BLOCK = 64 * 1024;
constexpr uint64_t VM_EMERGENCY_BUDGET = 256 * 1024;

void _VM_initAllocator(uint64_t baseLimit, uint64_t maximum);
void _VM_stopAllocator();
// Zero-filled block of at least size bytes, 16-byte aligned. Out of memory:
// OutOfMemoryError when exceptionsAllowed and a runtime thread is current,
// else a fatal stop.
void* _VM_alloc(size_t size, int exceptionsAllowed);
void _VM_free(void* address);
// The accounted size of a block (request + 4) and its kind.
uint64_t _VM_blockSize(const void* address);
VMBlockKind _VM_blockKind(const void* address);
uint64_t _VM_freeMemory();
uint64_t _VM_totalMemory();
