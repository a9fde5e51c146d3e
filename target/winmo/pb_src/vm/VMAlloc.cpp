// The runtime allocator with its heap accounting: every runtime block and
// every object comes from here.
#include "VMAlloc.h"

#include <cstdlib>
#include <cstring>

#include "VMRuntime.h"
#include "VMThread.h"
#include "VMThrow.h"
#include "hal_system.h"
#include "hal_thread.h"

VMHeapAccount _VM_heap;

namespace {

// Every block starts with this 16-byte header, so the address handed out
// stays 16-byte aligned. The size is the accounted size: request + 4.
struct BlockHeader {
    uint64_t size;
    uint32_t kind;
    uint32_t reserved;
};
static_assert(sizeof(BlockHeader) == 16);

// Requests above this are never representable as a block.
constexpr uint64_t kMaxRequest = uint64_t(1) << 48;

// The emergency path serves what reporting an out-of-memory condition needs
// (the error object and the small blocks of its report). A larger block is no
// part of that: it goes the ordinary way and ends in another
// OutOfMemoryError, instead of growing the heap past every limit.
constexpr uint64_t kEmergencyBlockLimit = 64 * 1024;

BlockHeader* headerOf(const void* address) {
    return reinterpret_cast<BlockHeader*>(const_cast<char*>(static_cast<const char*>(address)) - sizeof(BlockHeader));
}

void* finishBlock(void* block, uint64_t accounted, VMBlockKind kind, size_t request) {
    auto* header = static_cast<BlockHeader*>(block);
    header->size = accounted;
    header->kind = kind;
    header->reserved = 0;
    void* address = header + 1;
    std::memset(address, 0, request);
    return address;
}

uint64_t saturatingAdd(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

uint64_t inUse(uint64_t blockSize) {
    return saturatingAdd(saturatingAdd(HAL_getAllocatedBytes(), _VM_heap.used), blockSize);
}

#ifdef VESSILO_GC_STRESS
// Stress mode: VESSILO_GC_STRESS=N collects on every Nth counted allocation.
uint64_t stressInterval() {
    static uint64_t interval = [] {
        const char* value = std::getenv("VESSILO_GC_STRESS");
        if (value == nullptr) return uint64_t(0);
        return uint64_t(std::strtoull(value, nullptr, 10));
    }();
    return interval;
}
uint64_t stressCounter = 0;
bool stressCollecting = false;
#endif

}  // namespace

void _VM_initAllocator(uint64_t baseLimit, uint64_t maximum) {
    _VM_heap.used = 0;
    _VM_heap.baseLimit = baseLimit;
    _VM_heap.limit = baseLimit;
    _VM_heap.maximum = maximum;
    _VM_heap.running = true;
}

void _VM_stopAllocator() { _VM_heap.running = false; }

void* _VM_alloc(size_t size, int exceptionsAllowed) {
    VMThread* current = VMThread::current();
    if (uint64_t(size) > kMaxRequest) {
        // Not representable as a block: an out-of-memory condition, never a
        // short block.
        if (exceptionsAllowed && current != nullptr) {
            current->outOfMemory = true;
            _VM_throwOutOfMemoryError();
        }
        HAL_fatalError("Ran out of memory while exceptions are forbidden!");
    }
    const uint64_t blockSize = uint64_t(size) + 4;
    const size_t physical = size + sizeof(BlockHeader);

    if (!_VM_heap.running) {
        void* block = HAL_allocReleasingReserve(physical, 0);
        if (block == nullptr) HAL_fatalError("Ran out of memory during VM initialization!");
        return finishBlock(block, blockSize, VM_BLOCK_UNCOUNTED, size);
    }

#ifdef VESSILO_GC_STRESS
    if (uint64_t interval = stressInterval(); interval != 0 && !stressCollecting && _VM_runtime != nullptr &&
                                              ++stressCounter % interval == 0) {
        stressCollecting = true;
        _VM_collect(_VM_runtime);
        stressCollecting = false;
    }
#endif

    for (int collections = 0;;) {
        if (inUse(blockSize) <= _VM_heap.limit) {
            if (void* block = HAL_allocReleasingReserve(physical, 0)) {
                _VM_heap.used += blockSize;
                return finishBlock(block, blockSize, VM_BLOCK_ORDINARY, size);
            }
        }
        if (current != nullptr && current->outOfMemory && blockSize <= kEmergencyBlockLimit) {
            void* block = HAL_allocReleasingReserve(physical, 1);
            if (block == nullptr) HAL_fatalError("Ran out of memory while trying to report an out of memory condition!");
            _VM_heap.used += blockSize;
            return finishBlock(block, blockSize, VM_BLOCK_EMERGENCY, size);
        }
        if (collections == 3) break;
        if (_VM_runtime != nullptr) _VM_collect(_VM_runtime);
        ++collections;
        uint64_t limit = saturatingAdd(inUse(blockSize), inUse(blockSize));
        if (limit < _VM_heap.baseLimit) limit = _VM_heap.baseLimit;
        if (limit > _VM_heap.maximum) limit = _VM_heap.maximum;
        _VM_heap.limit = limit;
        if (current != nullptr) {
            if (collections == 2) VMThread::yield();
            // A pause that gives other threads the chance to drop what they
            // hold; it does not consume the thread's interrupt.
            if (collections == 3 && !VMThread::switchingDisabled()) HAL_sleep(10);
        }
    }
    if (exceptionsAllowed && current != nullptr) {
        current->outOfMemory = true;
        _VM_throwOutOfMemoryError();
    }
    HAL_fatalError("Ran out of memory while exceptions are forbidden!");
}

void _VM_free(void* address) {
    if (address == nullptr) return;
    BlockHeader* header = headerOf(address);
    if (header->kind != VM_BLOCK_UNCOUNTED) {
        _VM_heap.used = header->size > _VM_heap.used ? 0 : _VM_heap.used - header->size;
    }
    std::free(header);
}

uint64_t _VM_blockSize(const void* address) { return headerOf(address)->size; }
VMBlockKind _VM_blockKind(const void* address) { return VMBlockKind(headerOf(address)->kind); }

uint64_t _VM_freeMemory() {
    uint64_t taken = saturatingAdd(HAL_getAllocatedBytes(), _VM_heap.used);
    return taken >= _VM_heap.maximum ? 0 : _VM_heap.maximum - taken;
}

uint64_t _VM_totalMemory() { return _VM_heap.maximum; }
