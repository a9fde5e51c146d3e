// The object header, the allocator's heap accounting and the monitors.
#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "VM.h"
#include "hal.h"
#include "java_lang_Throwable.h"
#include "vm_test.h"

using java::lang::Object;

namespace t2obj {

// A subclass with nothing of its own: its header sits in a virtual base, away
// from the start of its block.
class Plain final : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Plain, java::lang::Object)
};

}  // namespace t2obj

VM_REGISTER_CLASS(t2obj::Plain, .name = "t2.obj.Plain")

namespace {

// Puts the heap limits, the current thread's out-of-memory mark and the
// platform's reserve back as they were, so a test may squeeze the budget.
class HeapLimits {
public:
    HeapLimits() : saved_(_VM_heap), hadReserve_(HAL_hasMemoryReserve()) {}
    ~HeapLimits() {
        _VM_heap.running = saved_.running;
        _VM_heap.baseLimit = saved_.baseLimit;
        _VM_heap.limit = saved_.limit;
        _VM_heap.maximum = saved_.maximum;
        VMThread::current()->outOfMemory = false;
        VMThread::current()->emergencyBytes = 0;
        if (hadReserve_ && !HAL_hasMemoryReserve()) HAL_reserveMemory();
    }

private:
    VMHeapAccount saved_;
    bool hadReserve_;
};

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_allocated_size(const volatile void* block);
#endif

// The bytes the C library (or the address sanitizer) set aside for a block.
size_t platformBlockSize(void* block) {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_allocated_size(block);
#else
    return malloc_usable_size(block);
#endif
}

// Bytes counted against the limit.
uint64_t inUse() { return HAL_getAllocatedBytes() + _VM_heap.used; }
uint32_t collections() { return _VM_runtime->collectionCount; }
// Leaves no room for any further ordinary block.
void exhaustHeap() { _VM_heap.baseLimit = _VM_heap.limit = _VM_heap.maximum = inUse(); }
void printFatal(const char* message) { std::fprintf(stderr, "fatal: %s\n", message); }

class VMAllocatorTest : public VMTest {};

// The allocator's two entries: the call, and the inline path that object
// creation takes (which hands everything but the common case to the call).
struct AllocEntry {
    const char* name;
    void* (*alloc)(size_t size);
};
const AllocEntry kAllocEntries[] = {
    {"_VM_alloc", [](size_t size) { return _VM_alloc(size, 1); }},
    {"_VM_allocInline", [](size_t size) { return _VM_allocInline(size); }},
};

TEST_F(VMAllocatorTest, BlocksAreDistinctAlignedZeroedAndCountedAsRequestPlusFour) {
    // Garbage of earlier tests goes first: in the collector's stress mode the
    // allocations below would otherwise free it and change the count.
    _VM_collect(_VM_runtime);
    for (const AllocEntry& entry : kAllocEntries) {
        SCOPED_TRACE(entry.name);
        const uint64_t used = _VM_heap.used;
        const uint64_t platformBlocks = HAL_blockBytes.load();
        void* a = entry.alloc(0);
        void* b = entry.alloc(0);
        EXPECT_NE(a, b);
        EXPECT_EQ(_VM_blockSize(a), 4u);
        EXPECT_EQ(_VM_blockKind(a), VM_BLOCK_ORDINARY);
        EXPECT_EQ(_VM_heap.used, used + 8);
        _VM_free(a);
        _VM_free(b);
        _VM_free(nullptr);
        EXPECT_EQ(_VM_heap.used, used);

        auto* block = static_cast<unsigned char*>(entry.alloc(4096));
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 16, 0u);
        EXPECT_EQ(block[0] | block[4095], 0);
        EXPECT_EQ(_VM_blockSize(block), 4100u);
        _VM_free(block);
        // What the platform counted for the blocks it handed out, it took
        // back when they were freed.
        EXPECT_EQ(HAL_blockBytes.load(), platformBlocks);
    }
}

TEST_F(VMAllocatorTest, RequestExactlyAtTheLimitNeedsNoCollectionAndOneByteMoreForcesOne) {
    VM_SKIP_UNDER_STRESS();
    for (const AllocEntry& entry : kAllocEntries) {
        SCOPED_TRACE(entry.name);
        HeapLimits guard;
        const uint32_t before = collections();
        _VM_heap.limit = inUse() + 100 + 4;
        _VM_free(entry.alloc(100));
        EXPECT_EQ(collections(), before);

        _VM_heap.limit = inUse() + 100 + 4 - 1;
        _VM_free(entry.alloc(100));
        EXPECT_EQ(collections(), before + 1);
    }
}

TEST_F(VMAllocatorTest, ForcedCollectionSetsTheLimitToTwiceWhatIsInUseWithinItsBounds) {
    HeapLimits guard;
    _VM_heap.baseLimit = 0;
    _VM_heap.limit = inUse();
    void* block = _VM_alloc(256, 1);
    EXPECT_EQ(_VM_heap.limit, 2 * inUse());  // the request is in use by now
    _VM_free(block);

    _VM_heap.baseLimit = 8 * inUse();
    _VM_heap.limit = inUse();
    _VM_free(_VM_alloc(256, 1));
    EXPECT_EQ(_VM_heap.limit, _VM_heap.baseLimit);
}

TEST_F(VMAllocatorTest, GivesUpAfterThreeCollectionsWithOutOfMemoryErrorInAnEmergencyBlock) {
    VM_SKIP_UNDER_STRESS();
    HeapLimits guard;
    VMThread* me = VMThread::current();
    _VM_collect(_VM_runtime);
    exhaustHeap();
    me->interrupted = true;
    const uint32_t before = collections();
    std::string thrown;
    VMBlockKind kind = VM_BLOCK_ORDINARY;
    try {
        _VM_alloc(size_t(1) << 20, 1);
    } catch (java::lang::Throwable* error) {
        thrown = error->getClass()->name.c_str();
        kind = _VM_blockKind(dynamic_cast<void*>(error));
    }
    EXPECT_EQ(thrown, "java.lang.OutOfMemoryError");
    EXPECT_EQ(kind, VM_BLOCK_EMERGENCY);
    EXPECT_EQ(collections(), before + 3);
    EXPECT_EQ(_VM_heap.limit, _VM_heap.maximum);
    EXPECT_TRUE(me->outOfMemory);
    EXPECT_TRUE(me->interrupted);  // the pause before giving up leaves it pending
    me->interrupted = false;
    _VM_collect(_VM_runtime);
    EXPECT_FALSE(me->outOfMemory);  // every collection clears the mark
}

TEST_F(VMAllocatorTest, RequestsNoBlockCanHoldAreOutOfMemoryAtOnce) {
    VM_SKIP_UNDER_STRESS();
    HeapLimits guard;
    const uint32_t before = collections();
    EXPECT_EQ(VM_THROWN_CLASS(_VM_alloc((size_t(1) << 48) + 1, 1)), "java.lang.OutOfMemoryError");
    EXPECT_EQ(VM_THROWN_CLASS(_VM_alloc(SIZE_MAX, 1)), "java.lang.OutOfMemoryError");
    EXPECT_EQ(collections(), before);
}

TEST_F(VMAllocatorTest, WhileOutOfMemoryIsReportedOnlySmallBlocksSkipTheLimit) {
    VM_SKIP_UNDER_STRESS();
    HeapLimits guard;
    _VM_collect(_VM_runtime);
    exhaustHeap();
    VMThread::current()->outOfMemory = true;
    const uint32_t before = collections();
    const uint64_t used = _VM_heap.used;
    void* block = _VM_alloc(40, 1);
    EXPECT_EQ(_VM_blockKind(block), VM_BLOCK_EMERGENCY);
    EXPECT_EQ(_VM_heap.used, used + 44);
    EXPECT_EQ(collections(), before);
    _VM_free(block);
    EXPECT_EQ(_VM_heap.used, used);
    // A large block is no part of a report: it never grows the heap past
    // the maximum.
    EXPECT_EQ(VM_THROWN_CLASS(_VM_alloc(size_t(1) << 20, 1)), "java.lang.OutOfMemoryError");
    EXPECT_EQ(collections(), before + 3);
}

// A program that catches OutOfMemoryError, drops everything and goes on
// making small garbage: ten times the limit of it, and the heap never passes
// the limit by more than the emergency budget, because collections run again
// once the budget is spent.
TEST_F(VMAllocatorTest, AfterACaughtOutOfMemoryErrorGarbageStaysWithinTheLimit) {
    VM_SKIP_UNDER_STRESS();
    HeapLimits guard;
    _VM_collect(_VM_runtime);
    const uint64_t limit = inUse() + (uint64_t(4) << 20);
    _VM_heap.baseLimit = _VM_heap.limit = _VM_heap.maximum = limit;
    {
        VMPtr<VMArray<Object, 1>> held = VMArray<Object, 1>::create(4096);
        EXPECT_EQ(VM_THROWN_CLASS(for (jint i = 0; i < held->length; ++i)
                                      held->set(i, VMPtr<Object>(VMArray<jbyte, 1>::create(4096)))),
                  "java.lang.OutOfMemoryError");
    }
    EXPECT_TRUE(VMThread::current()->outOfMemory);
    uint64_t most = 0;
    for (uint64_t made = 0; made < 10 * limit; made += 1024) {
        VMPtr<VMArray<jbyte, 1>> garbage = VMArray<jbyte, 1>::create(1024);
        most = std::max(most, inUse());
    }
    EXPECT_LE(most, limit + VM_EMERGENCY_BUDGET);
    EXPECT_FALSE(VMThread::current()->outOfMemory);
}

// An empty block still has a payload of its own: the address handed out
// points into its block, where a leak checker sees the reference.
TEST_F(VMAllocatorTest, EmptyBlocksPointIntoTheirOwnBlock) {
    for (int counted = 0; counted < 2; ++counted) {
        HeapLimits guard;
        if (!counted) _VM_stopAllocator();
        auto* address = static_cast<char*>(_VM_alloc(0, 1));
        _VM_heap.running = true;
        char* block = address - 16;
        EXPECT_LT(address, block + platformBlockSize(block)) << (counted ? "counted" : "uncounted");
        EXPECT_EQ(_VM_blockSize(address), 4u);
        _VM_free(address);
    }
    VMPtr<VMArray<jint, 1>> empty = VMArray<jint, 1>::create(0);
    auto* data = static_cast<char*>(empty->data);
    EXPECT_LT(data, data - 16 + platformBlockSize(data - 16));
}

TEST_F(VMAllocatorTest, StoppedAllocatorHandsOutUncountedBlocks) {
    for (const AllocEntry& entry : kAllocEntries) {
        SCOPED_TRACE(entry.name);
        HeapLimits guard;
        const uint64_t used = _VM_heap.used;
        _VM_stopAllocator();
        void* block = entry.alloc(24);
        _VM_heap.running = true;
        EXPECT_EQ(_VM_blockKind(block), VM_BLOCK_UNCOUNTED);
        EXPECT_EQ(_VM_blockSize(block), 28u);
        EXPECT_EQ(_VM_heap.used, used);
        _VM_free(block);
        EXPECT_EQ(_VM_heap.used, used);
    }
}

TEST_F(VMAllocatorTest, FreeMemoryIsMaximumLessWhatIsInUseAndStopsAtZero) {
    HeapLimits guard;
    EXPECT_EQ(_VM_freeMemory(), _VM_heap.maximum - inUse());
    EXPECT_EQ(_VM_totalMemory(), _VM_heap.maximum);
    _VM_heap.maximum = inUse() / 2;
    EXPECT_EQ(_VM_freeMemory(), 0u);
}

class VMAllocatorDeathTest : public VMTest {};

TEST_F(VMAllocatorDeathTest, GivingUpWithoutExceptionsOrACurrentThreadIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* message = "Ran out of memory while exceptions are forbidden!";
    EXPECT_EXIT(
        {
            HAL_setFatalHook(printFatal);
            exhaustHeap();
            _VM_runtime->currentThread = nullptr;
            _VM_alloc(size_t(1) << 20, 1);
        },
        testing::ExitedWithCode(1), message);
    EXPECT_EXIT(
        {
            HAL_setFatalHook(printFatal);
            exhaustHeap();
            _VM_alloc(size_t(1) << 20, 0);
        },
        testing::ExitedWithCode(1), message);
}

// --- java.lang.Object ------------------------------------------------------------

class VMObjectTest : public VMTest {};

TEST_F(VMObjectTest, CollectingAnUnreachableObjectUnlinksItAndReturnsItsBlock) {
    _VM_collect(_VM_runtime);
    const uint64_t used = _VM_heap.used;
    const size_t count = _VM_heapCount(_VM_runtime);
    {
        VMPtr<t2obj::Plain> plain = t2obj::Plain::create();
        VMPtr<Object> object = Object::_VM_classRecord->newInstance();
        EXPECT_EQ(_VM_runtime->heapHead, object.get());
        // Construction finished; marked as the survivors of the last collection are.
        EXPECT_EQ(object->_VM_flags & ~uint32_t(VM_FLAG_MARKED), uint32_t(VM_FLAG_REACHED));
        EXPECT_TRUE(_VM_isMarked(object.get()));
        _VM_lock(object.get());
        object->wait(1);  // gives the monitor a platform lock to delete
        _VM_unlock(object.get());
    }
    _VM_collect(_VM_runtime);
    EXPECT_EQ(_VM_heapCount(_VM_runtime), count);
    EXPECT_EQ(_VM_heap.used, used);
}

TEST_F(VMObjectTest, IdentityOperationsUseTheHeaderAddress) {
    VMPtr<Object> object = Object::create();
    VMPtr<t2obj::Plain> plain = t2obj::Plain::create();
    VMPtr<Object> plainAsObject = plain;
    const jint hash = plain->hashCode();
    EXPECT_EQ(hash, jint(uint32_t(reinterpret_cast<uintptr_t>(plainAsObject.get()))));
    _VM_collect(_VM_runtime);
    EXPECT_EQ(plain->hashCode(), hash);

    char expected[64];
    std::snprintf(expected, sizeof expected, "t2.obj.Plain@%x", unsigned(uint32_t(hash)));
    EXPECT_EQ(text(plain->toString()), expected);
    std::snprintf(expected, sizeof expected, "java.lang.Object@%x", unsigned(uint32_t(object->hashCode())));
    EXPECT_EQ(text(object->toString()), expected);

    EXPECT_TRUE(plain->equals(plainAsObject));
    EXPECT_FALSE(plain->equals(object));
    EXPECT_FALSE(object->equals(VMPtr<Object>()));
}

// --- monitors --------------------------------------------------------------------------

class VMMonitorTest : public VMTest {};

TEST_F(VMMonitorTest, ThinMonitorCountsRecursiveEntersAndNeedsAsManyExits) {
    VMPtr<Object> object = Object::create();
    for (int i = 1; i <= 3; ++i) {
        _VM_lock(object.get());
        EXPECT_EQ(object->_VM_count, i);
        EXPECT_EQ(object->_VM_owner, VMThread::current());
    }
    for (int i = 2; i >= 0; --i) {
        _VM_unlock(object.get());
        EXPECT_EQ(object->_VM_count, i);
    }
    EXPECT_EQ(object->_VM_owner, nullptr);
    EXPECT_EQ(object->_VM_inflated, nullptr);  // uncontended: stays thin
}

TEST_F(VMMonitorTest, WaitAndNotifyNeedTheMonitorButANegativeTimeoutIsRejectedFirst) {
    VMPtr<Object> object = Object::create();
    const std::string illegalMonitorState = "java.lang.IllegalMonitorStateException";
    EXPECT_EQ(VM_THROWN_CLASS(object->wait(-1)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(object->wait(0)), illegalMonitorState);
    EXPECT_EQ(VM_THROWN_CLASS(object->notify()), illegalMonitorState);
    EXPECT_EQ(VM_THROWN_CLASS(object->notifyAll()), illegalMonitorState);
    // The owner word alone is not a held monitor.
    object->_VM_owner = VMThread::current();
    EXPECT_EQ(VM_THROWN_CLASS(object->notify()), illegalMonitorState);
    object->_VM_owner = nullptr;

    _VM_lock(object.get());
    EXPECT_EQ(VM_THROWN_CLASS(object->wait(-1)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(object->notify()), "");
    EXPECT_EQ(VM_THROWN_CLASS(object->notifyAll()), "");
    EXPECT_EQ(object->_VM_inflated, nullptr);  // a thin monitor has no waiters
    _VM_unlock(object.get());
}

TEST_F(VMMonitorTest, TimedWaitInflatesTheMonitorAndRestoresOwnerAndCount) {
    VMPtr<Object> object = Object::create();
    _VM_lock(object.get());
    _VM_lock(object.get());
    object->wait(1);
    EXPECT_NE(object->_VM_inflated, nullptr);
    EXPECT_EQ(object->_VM_owner, VMThread::current());
    EXPECT_EQ(object->_VM_count, 2);
    _VM_lock(object.get());  // re-entry of an inflated monitor only counts
    EXPECT_EQ(object->_VM_count, 3);
    for (int i = 0; i < 3; ++i) _VM_unlock(object.get());
    EXPECT_EQ(object->_VM_owner, nullptr);
    _VM_lock(object.get());
    EXPECT_EQ(object->_VM_owner, VMThread::current());
    _VM_unlock(object.get());
}

class VMMonitorDeathTest : public VMTest {};

TEST_F(VMMonitorDeathTest, FourthExitAfterThreeEntersIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            HAL_setFatalHook(printFatal);
            VMPtr<Object> object = Object::create();
            for (int i = 0; i < 3; ++i) _VM_lock(object.get());
            for (int i = 0; i < 4; ++i) _VM_unlock(object.get());
        },
        testing::ExitedWithCode(1), "Monitor state is invalid in _VM_unlock\\(\\)!");
}

}  // namespace
