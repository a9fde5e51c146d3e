// The object header, the allocator with its heap accounting, monitors, and
// java.lang.Object.
#include "VMObject.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "VMClass.h"
#include "VMRuntime.h"
#include "VMThread.h"
#include "VMThrow.h"
#include "hal_system.h"
#include "hal_thread.h"
#include "java_lang_Integer.h"
#include "java_lang_String.h"
#include "java_lang_StringBuffer.h"

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

void* _VM_malloc(size_t size) { return _VM_alloc(size, 1); }

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

// --- object header --------------------------------------------------------

java::lang::Object* _VM_initObject(java::lang::Object* header) {
    header->_VM_owner = nullptr;
    header->_VM_count = 0;
    header->_VM_inflated = nullptr;
    header->_VM_flags = VM_FLAG_REACHED | VM_FLAG_CONSTRUCTING;
    if (_VM_runtime == nullptr) HAL_fatalError("An object was created while no runtime exists!");
    _VM_heapAdd(_VM_runtime, header);
    return header;
}

void _VM_releaseObject(java::lang::Object* header) {
    if (_VM_runtime != nullptr) _VM_heapRemove(_VM_runtime, header);
    if (header->_VM_inflated != nullptr) {
        HAL_deleteLock(header->_VM_inflated);
        header->_VM_inflated = nullptr;
    }
}

void _VM_destroyObject(java::lang::Object* header) {
    void* block = dynamic_cast<void*>(header);
    header->~Object();
    _VM_free(block);
}

void _VM_heapAdd(VMRuntime* runtime, java::lang::Object* header) {
    header->_VM_prev = nullptr;
    header->_VM_next = runtime->heapHead;
    if (runtime->heapHead != nullptr) runtime->heapHead->_VM_prev = header;
    runtime->heapHead = header;
}

void _VM_heapRemove(VMRuntime* runtime, java::lang::Object* header) {
    if (header->_VM_prev != nullptr)
        header->_VM_prev->_VM_next = header->_VM_next;
    else if (runtime->heapHead == header)
        runtime->heapHead = header->_VM_next;
    if (header->_VM_next != nullptr) header->_VM_next->_VM_prev = header->_VM_prev;
    header->_VM_next = header->_VM_prev = nullptr;
}

size_t _VM_heapCount(const VMRuntime* runtime) {
    size_t n = 0;
    for (java::lang::Object* o = runtime->heapHead; o != nullptr; o = o->_VM_next) ++n;
    return n;
}

// --- monitors -------------------------------------------------------------

namespace {

// Threads blocked entering a thin monitor sleep on one platform lock until a
// thin monitor is released or inflated, instead of spinning. Both fields are
// guarded by the runtime lock.
HAL_Lock* thinMonitorRelease = nullptr;
int thinMonitorWaiters = 0;

void wakeThinMonitorWaiters() {
    if (thinMonitorWaiters == 0) return;
    HAL_lock(thinMonitorRelease);
    HAL_notifyAll(thinMonitorRelease);
    HAL_unlock(thinMonitorRelease);
}

bool heldThinByAnother(java::lang::Object* header, VMThread* cur) {
    return header->_VM_owner != cur && header->_VM_count != 0 && header->_VM_inflated == nullptr;
}

// Returns once the monitor is free or inflated. Waiters are woken together
// and race for the monitor on their next turn, as yielding ones did.
void awaitThinMonitor(java::lang::Object* header, VMThread* cur) {
    if (VMThread::switchingDisabled()) {
        // No other thread may run (shutdown): nothing can be waited for.
        do {
            VMThread::yield();
        } while (heldThinByAnother(header, cur));
        return;
    }
    if (thinMonitorRelease == nullptr &&
        (HAL_createLock(&thinMonitorRelease, 0) != 0 || thinMonitorRelease == nullptr))
        HAL_fatalError("HAL_createLock() failed in _VM_lock().");
    ++thinMonitorWaiters;
    while (heldThinByAnother(header, cur)) {
        HAL_lock(thinMonitorRelease);
        // Checked again under the platform lock: a release from now on
        // notifies only after this thread is queued by HAL_wait.
        if (heldThinByAnother(header, cur)) HAL_wait(thinMonitorRelease, 100);
        HAL_unlock(thinMonitorRelease);
    }
    --thinMonitorWaiters;
}

}  // namespace

void _VM_inflateMonitor(java::lang::Object* header) {
    if (header->_VM_inflated != nullptr) return;
    if (header->_VM_count != 0 && header->_VM_owner != VMThread::current())
        HAL_fatalError("Attempt to inflate a lock that we do not own in _VM_inflateMonitor().");
    HAL_Lock* lock = nullptr;
    if (HAL_createLock(&lock, header->_VM_count != 0 ? 1 : 0) != 0 || lock == nullptr)
        HAL_fatalError("HAL_createLock() failed in _VM_inflateMonitor().");
    header->_VM_inflated = lock;
    wakeThinMonitorWaiters();  // they now block on the platform lock instead
}

void _VM_lock(java::lang::Object* header) {
    VMThread* cur = VMThread::current();
    if (header->_VM_inflated == nullptr) {
        if (header->_VM_count == 0) {
            header->_VM_count = 1;
            header->_VM_owner = cur;
            return;
        }
        if (header->_VM_owner == cur) {
            ++header->_VM_count;
            return;
        }
        awaitThinMonitor(header, cur);
        _VM_inflateMonitor(header);
    }
    if (header->_VM_owner == cur && header->_VM_count != 0) {
        ++header->_VM_count;
        return;
    }
    HAL_lock(header->_VM_inflated);
    header->_VM_count = 1;
    header->_VM_owner = cur;
}

void _VM_unlock(java::lang::Object* header) {
    if (header->_VM_count <= 0 || header->_VM_owner != VMThread::current())
        HAL_fatalError("Monitor state is invalid in _VM_unlock()!");
    if (--header->_VM_count != 0) return;
    header->_VM_owner = nullptr;
    if (header->_VM_inflated != nullptr) {
        HAL_notifyAll(header->_VM_inflated);
        HAL_unlock(header->_VM_inflated);
        VMThread::yield();
    } else {
        wakeThinMonitorWaiters();
    }
}

void _VM_synchronizedEnter(VMPtr<java::lang::Object>& guard, java::lang::Object* object) {
    if (object == nullptr) _VM_throwNullPointer();
    guard = object;
    _VM_lock(object);
}

void _VM_synchronizedExit(VMPtr<java::lang::Object>& guard) {
    if (guard.target != nullptr) _VM_unlock(guard.target);
    guard = nullptr;
}

VMSynchronized::VMSynchronized(java::lang::Object* object) { _VM_synchronizedEnter(guard, object); }
VMSynchronized::~VMSynchronized() { _VM_synchronizedExit(guard); }

// --- java.lang.Object -----------------------------------------------------

namespace java::lang {

Object::~Object() { _VM_releaseObject(this); }

jint Object::hashCode() { return jint(uint32_t(reinterpret_cast<uintptr_t>(this))); }

jboolean Object::equals(VMPtr<Object> obj) { return obj.target == this; }

VMPtr<String> Object::toString() {
    VMPtr<java::lang::StringBuffer> text = java::lang::StringBuffer::create()->construct(getClass()->getName());
    text->append(u'@');
    text->append(java::lang::Integer::toHexString(hashCode()));
    return text->toString();
}

Class* Object::getClass() { return _VM_classRecord; }

VMPtr<Object> Object::create() {
    _VM_ensureInitialized(_VM_classRecord);
    void* memory = _VM_alloc(sizeof(Object), 1);
    Object* object = new (memory) Object();
    VMPtr<Object> result(object);
    _VM_endConstruction(object);
    return result;
}

VMPtr<Object> Object::_VM_newInstance() { return create()->construct(); }

void Object::wait() { wait(0); }

void Object::wait(jlong timeout) {
    if (timeout < 0) _VM_throwIllegalArgumentException();
    VMThread* cur = VMThread::current();
    if (_VM_count == 0 || _VM_owner != cur) _VM_throwIllegalMonitorStateException();
    _VM_inflateMonitor(this);
    VMThread::wait(cur, this, timeout);
}

void Object::notify() {
    if (_VM_count == 0 || _VM_owner != VMThread::current()) _VM_throwIllegalMonitorStateException();
    if (_VM_inflated != nullptr) HAL_notify(_VM_inflated);
}

void Object::notifyAll() {
    if (_VM_count == 0 || _VM_owner != VMThread::current()) _VM_throwIllegalMonitorStateException();
    if (_VM_inflated != nullptr) HAL_notifyAll(_VM_inflated);
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Object, .name = "java.lang.Object", .superName = "",
                  .sourceName = "target/winmo/pb_src/vm/VMObject",
                  .newInstance = java::lang::Object::_VM_newInstance)

// _VM_mark lives with the collector.
