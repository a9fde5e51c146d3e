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

// Requests above this are never representable as a block.
constexpr uint64_t kMaxRequest = uint64_t(1) << 48;

VMBlockHeader* headerOf(const void* address) {
    return reinterpret_cast<VMBlockHeader*>(const_cast<char*>(static_cast<const char*>(address)) -
                                            sizeof(VMBlockHeader));
}

uint64_t saturatingAdd(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

inline uint64_t inUse(uint64_t blockSize) {
    return saturatingAdd(saturatingAdd(HAL_getAllocatedBytes(), _VM_heap.used), blockSize);
}

[[noreturn]] void outOfMemory(VMThread* current, int exceptionsAllowed) {
    if (exceptionsAllowed && current != nullptr) {
        // A fresh emergency budget for building and reporting this error.
        current->outOfMemory = true;
        current->emergencyBytes = 0;
        _VM_throwOutOfMemoryError();
    }
    HAL_fatalError("Ran out of memory while exceptions are forbidden!");
}

// A counted allocation: a block when there is room under the limit; else
// the emergency path while the thread reports an out-of-memory condition,
// else up to three collections, each followed by a new limit and a retry.
void* allocCounted(size_t size, uint64_t blockSize, int exceptionsAllowed) {
    VMThread* current = VMThread::current();
    const size_t physical = _VM_platformSize(size);
    for (int collections = 0;;) {
        if (inUse(blockSize) <= _VM_heap.limit) {
            if (void* block = HAL_allocReleasingReserve(physical, 0)) {
                _VM_heap.used += blockSize;
                return _VM_finishBlock(block, blockSize, VM_BLOCK_ORDINARY, size);
            }
        }
        if (current != nullptr && current->outOfMemory && blockSize <= VM_EMERGENCY_BLOCK &&
            current->emergencyBytes + blockSize <= VM_EMERGENCY_BUDGET) {
            void* block = HAL_allocReleasingReserve(physical, 1);
            if (block == nullptr)
                HAL_fatalError("Ran out of memory while trying to report an out of memory condition!");
            current->emergencyBytes += blockSize;
            _VM_heap.used += blockSize;
            return _VM_finishBlock(block, blockSize, VM_BLOCK_EMERGENCY, size);
        }
        if (collections == 3) break;
        if (_VM_runtime != nullptr) _VM_collect(_VM_runtime);
        ++collections;
        const uint64_t wanted = inUse(blockSize);
        uint64_t limit = saturatingAdd(wanted, wanted);
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
    outOfMemory(current, exceptionsAllowed);
}

// Stress mode: VESSILO_GC_STRESS=N collects on every Nth counted allocation.
uint64_t stressIntervalFromEnvironment() {
    const char* value = std::getenv("VESSILO_GC_STRESS");
    if (value == nullptr) return 0;
    return uint64_t(std::strtoull(value, nullptr, 10));
}
uint64_t stressCounter = 0;
bool stressCollecting = false;

}  // namespace

void _VM_initAllocator(uint64_t baseLimit, uint64_t maximum) {
    _VM_heap.used = 0;
    _VM_heap.baseLimit = baseLimit;
    _VM_heap.limit = baseLimit;
    _VM_heap.maximum = maximum;
    _VM_heap.running = true;
    _VM_heap.stressInterval = stressIntervalFromEnvironment();
}

void _VM_stopAllocator() { _VM_heap.running = false; }

void* _VM_alloc(size_t size, int exceptionsAllowed) {
    // Not representable as a block: an out-of-memory condition, never a
    // short block.
    if (uint64_t(size) > kMaxRequest) outOfMemory(VMThread::current(), exceptionsAllowed);
    const uint64_t blockSize = uint64_t(size) + 4;

    if (!_VM_heap.running) [[unlikely]] {
        void* block = HAL_allocReleasingReserve(_VM_platformSize(size), 0);
        if (block == nullptr) HAL_fatalError("Ran out of memory during VM initialization!");
        return _VM_finishBlock(block, blockSize, VM_BLOCK_UNCOUNTED, size);
    }

    if (uint64_t interval = _VM_heap.stressInterval;
        interval != 0 && !stressCollecting && _VM_runtime != nullptr && ++stressCounter % interval == 0) [[unlikely]] {
        stressCollecting = true;
        _VM_collect(_VM_runtime);
        stressCollecting = false;
    }

    return allocCounted(size, blockSize, exceptionsAllowed);
}

void _VM_free(void* address) {
    if (address == nullptr) return;
    VMBlockHeader* header = headerOf(address);
    const uint64_t size = header->size;
    if (header->kind != VM_BLOCK_UNCOUNTED) _VM_heap.used = size > _VM_heap.used ? 0 : _VM_heap.used - size;
    HAL_freeBlock(header, _VM_platformSize(size - 4));
}

uint64_t _VM_blockSize(const void* address) { return headerOf(address)->size; }
VMBlockKind _VM_blockKind(const void* address) { return VMBlockKind(headerOf(address)->kind); }

uint64_t _VM_freeMemory() {
    uint64_t taken = saturatingAdd(HAL_getAllocatedBytes(), _VM_heap.used);
    return taken >= _VM_heap.maximum ? 0 : _VM_heap.maximum - taken;
}

uint64_t _VM_totalMemory() { return _VM_heap.maximum; }
