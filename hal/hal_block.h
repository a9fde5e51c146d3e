// Platform layer: the common case of a memory block for the runtime, inline.
// The runtime makes and frees a block for every object, so its allocator
// inlines this path; it is the one part of the platform that the runtime's
// own headers show to the layers above.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// The byte counts behind HAL_getAllocatedBytes and the blocks of
// HAL_allocReleasingReserve (hal_system.h).
extern std::atomic<uint64_t> HAL_platformBytes;
extern std::atomic<uint64_t> HAL_blockBytes;
inline uint64_t HAL_platformBytesNow() { return HAL_platformBytes.load(std::memory_order_relaxed); }
// HAL_allocReleasingReserve(size, 0) for a size well below the largest
// block. Asked for a whole number of 16 bytes, malloc hands out 16-byte
// aligned blocks (glibc's always does, mimalloc by its size classes). A
// request for 0 bytes still gets a block of its own.
inline void* HAL_allocBlockInline(size_t size) {
    void* block = std::malloc(size == 0 ? 16 : (size + 15) & ~size_t(15));
    if (block != nullptr)
        HAL_blockBytes.store(HAL_blockBytes.load(std::memory_order_relaxed) + size, std::memory_order_relaxed);
    return block;
}
