// The object header, the heap list, monitors, and java.lang.Object.
#include "VMObject.h"

#include "VMClass.h"
#include "VMRuntime.h"
#include "VMThread.h"
#include "VMThrow.h"
#include "hal_system.h"
#include "hal_thread.h"
#include "java_lang_Integer.h"
#include "java_lang_String.h"
#include "java_lang_StringBuffer.h"

// --- object header --------------------------------------------------------

void _VM_noRuntimeForObject() { HAL_fatalError("An object was created while no runtime exists!"); }

void _VM_releaseObject(java::lang::Object* header) {
    const uint32_t flags = header->_VM_flags;
    if ((flags & (VM_FLAG_CONSTRUCTING | VM_FLAG_FINALIZABLE)) != 0) [[unlikely]] {
        // A construction that failed, or an object destroyed outside a sweep.
        if (flags & VM_FLAG_CONSTRUCTING) {
            header->_VM_flags = flags & ~uint32_t(VM_FLAG_CONSTRUCTING);
            --_VM_constructingCount;
        }
        if (flags & VM_FLAG_FINALIZABLE) _VM_clearFinalizable(header);
    }
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

size_t _VM_heapObjects = 0;

void _VM_heapRemove(VMRuntime* runtime, java::lang::Object* header) {
    if (!_VM_heapSweeping) [[unlikely]]
        _VM_heapForgetStretches();
    if (header->_VM_prev != nullptr)
        header->_VM_prev->_VM_next = header->_VM_next;
    else if (runtime->heapHead == header)
        runtime->heapHead = header->_VM_next;
    else
        return;  // not in the list
    --_VM_heapObjects;
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

// Whether the thread holds the object's monitor (at any depth).
inline bool heldBy(const java::lang::Object* header, const VMThread* thread) {
    return header->_VM_count > 0 && header->_VM_owner == thread;
}

// Threads blocked entering a thin monitor sleep on one platform lock until a
// thin monitor is released or inflated, instead of spinning. The lock and
// the count of sleepers (_VM_thinMonitorWaiters) are guarded by the runtime
// lock.
HAL_Lock* thinMonitorRelease = nullptr;

bool heldThinByAnother(java::lang::Object* header, VMThread* cur) {
    return header->_VM_count != 0 && !heldBy(header, cur) && header->_VM_inflated == nullptr;
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
    if (thinMonitorRelease == nullptr && (HAL_createLock(&thinMonitorRelease, 0) != 0 || thinMonitorRelease == nullptr))
        HAL_fatalError("HAL_createLock() failed in _VM_lock().");
    ++_VM_thinMonitorWaiters;
    while (heldThinByAnother(header, cur)) {
        HAL_lock(thinMonitorRelease);
        // Checked again under the platform lock: a release from now on
        // notifies only after this thread is queued by HAL_wait.
        if (heldThinByAnother(header, cur)) HAL_wait(thinMonitorRelease, 100);
        HAL_unlock(thinMonitorRelease);
    }
    --_VM_thinMonitorWaiters;
}

}  // namespace

int _VM_thinMonitorWaiters = 0;

void _VM_wakeThinMonitorWaiters() {
    if (_VM_thinMonitorWaiters == 0) return;
    HAL_lock(thinMonitorRelease);
    HAL_notifyAll(thinMonitorRelease);
    HAL_unlock(thinMonitorRelease);
}

void _VM_inflateMonitor(java::lang::Object* header) {
    if (header->_VM_inflated != nullptr) return;
    if (header->_VM_count != 0 && !heldBy(header, VMThread::current()))
        HAL_fatalError("Attempt to inflate a lock that we do not own in _VM_inflateMonitor().");
    HAL_Lock* lock = nullptr;
    if (HAL_createLock(&lock, header->_VM_count != 0 ? 1 : 0) != 0 || lock == nullptr)
        HAL_fatalError("HAL_createLock() failed in _VM_inflateMonitor().");
    header->_VM_inflated = lock;
    _VM_wakeThinMonitorWaiters();  // they now block on the platform lock instead
}

// The monitors' paths past the inline ones (VMRuntime.h): a monitor that is
// inflated, held by another thread, or not held at all.
void _VM_lockSlow(java::lang::Object* header) {
    VMThread* cur = VMThread::current();
    if (header->_VM_inflated == nullptr) {
        if (header->_VM_count == 0) {
            header->_VM_count = 1;
            header->_VM_owner = cur;
            return;
        }
        if (heldBy(header, cur)) {
            ++header->_VM_count;
            return;
        }
        awaitThinMonitor(header, cur);
        _VM_inflateMonitor(header);
    }
    if (heldBy(header, cur)) {
        ++header->_VM_count;
        return;
    }
    HAL_lock(header->_VM_inflated);
    header->_VM_count = 1;
    header->_VM_owner = cur;
}

void _VM_unlockSlow(java::lang::Object* header) {
    if (!heldBy(header, VMThread::current())) HAL_fatalError("Monitor state is invalid in _VM_unlock()!");
    if (--header->_VM_count != 0) return;
    header->_VM_owner = nullptr;
    if (header->_VM_inflated != nullptr) {
        HAL_notifyAll(header->_VM_inflated);
        HAL_unlock(header->_VM_inflated);
        VMThread::yield();
    } else {
        _VM_wakeThinMonitorWaiters();
    }
}

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
    void* memory = _VM_allocInline(sizeof(Object));
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
    if (!heldBy(this, cur)) _VM_throwIllegalMonitorStateException();
    _VM_inflateMonitor(this);
    VMThread::wait(cur, this, timeout);
}

void Object::notify() {
    if (!heldBy(this, VMThread::current())) _VM_throwIllegalMonitorStateException();
    if (_VM_inflated != nullptr) HAL_notify(_VM_inflated);
}

void Object::notifyAll() {
    if (!heldBy(this, VMThread::current())) _VM_throwIllegalMonitorStateException();
    if (_VM_inflated != nullptr) HAL_notifyAll(_VM_inflated);
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Object, .name = "java.lang.Object", .superName = "",
                  .newInstance = java::lang::Object::_VM_newInstance)

// _VM_mark lives with the collector.
