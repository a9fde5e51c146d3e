// The runtime allocator: zero-filled, 16-byte aligned blocks, counted
// against the heap budget, with the out-of-memory path that collects and
// then throws.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hal_block.h"

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
    // The collector's stress mode: a collection on every Nth counted
    // allocation, N from the environment variable VESSILO_GC_STRESS when the
    // allocator starts (0: off). Every build has it, so that the stress runs
    // of the tests need no build of their own.
    uint64_t stressInterval = 0;
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

// Every block starts with this 16-byte header, so the address handed out
// stays 16-byte aligned. The size is the accounted size: request + 4.
struct VMBlockHeader {
    uint64_t size;
    uint32_t kind;
    uint32_t reserved;
};
static_assert(sizeof(VMBlockHeader) == 16);

// Zero-fills a block's payload. Blocks are whole 16-byte units, so payloads
// of up to 192 bytes, most objects, are cleared in whole units inline
// instead of through a call.
inline void _VM_zeroPayload(void* address, size_t request) {
    auto* p = static_cast<char*>(address);
    // (A switch, not a loop: a loop of stores would be turned back into a
    // call.)
    switch ((request + 15) / 16) {
        case 12: __builtin_memset(p + 176, 0, 16); [[fallthrough]];
        case 11: __builtin_memset(p + 160, 0, 16); [[fallthrough]];
        case 10: __builtin_memset(p + 144, 0, 16); [[fallthrough]];
        case 9: __builtin_memset(p + 128, 0, 16); [[fallthrough]];
        case 8: __builtin_memset(p + 112, 0, 16); [[fallthrough]];
        case 7: __builtin_memset(p + 96, 0, 16); [[fallthrough]];
        case 6: __builtin_memset(p + 80, 0, 16); [[fallthrough]];
        case 5: __builtin_memset(p + 64, 0, 16); [[fallthrough]];
        case 4: __builtin_memset(p + 48, 0, 16); [[fallthrough]];
        case 3: __builtin_memset(p + 32, 0, 16); [[fallthrough]];
        case 2: __builtin_memset(p + 16, 0, 16); [[fallthrough]];
        case 1: __builtin_memset(p, 0, 16); [[fallthrough]];
        case 0: return;
        default: __builtin_memset(address, 0, request);
    }
}

// The bytes asked of the platform for a request. An empty request still gets
// a one-byte payload, so the address handed out points into its own block:
// a leak checker then sees the reference that keeps it.
inline size_t _VM_platformSize(size_t request) { return request + sizeof(VMBlockHeader) + (request == 0); }

// Writes a new block's header and clears its payload; the payload's address.
inline void* _VM_finishBlock(void* block, uint64_t accounted, VMBlockKind kind, size_t request) {
    auto* header = static_cast<VMBlockHeader*>(block);
    header->size = accounted;
    header->kind = kind;
    header->reserved = 0;
    void* address = header + 1;
    _VM_zeroPayload(address, request);
    return address;
}

// _VM_alloc(size, 1) with the common case inline: room under the limit and
// a block from the platform. Everything else (the limit reached, the
// allocator not running, a request too large for the inline path, the
// collector's stress mode) goes through _VM_alloc.
inline void* _VM_allocInline(size_t size) {
    const uint64_t blockSize = uint64_t(size) + 4;
    if (size < (size_t(1) << 30) && HAL_platformBytesNow() + _VM_heap.used + blockSize <= _VM_heap.limit &&
        _VM_heap.running && _VM_heap.stressInterval == 0) [[likely]] {
        if (void* block = HAL_allocBlockInline(_VM_platformSize(size))) [[likely]] {
            _VM_heap.used += blockSize;
            return _VM_finishBlock(block, blockSize, VM_BLOCK_ORDINARY, size);
        }
    }
    return _VM_alloc(size, 1);
}
