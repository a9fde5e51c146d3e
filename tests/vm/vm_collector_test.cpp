// The collector: what it keeps and what it frees, the heap limit after
// forced collections, finalisation through the finalizer thread, and the
// heap verification.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "VM.h"
#include "VMAlloc.h"
#include "VMFinalizer.h"
#include "hal.h"
#include "java_lang_RuntimeException.h"
#include "java_lang_Throwable.h"
#include "vm_test.h"

using java::lang::Object;

namespace t2gc {

// A cell with one reference field; counts its destructions.
class Cell final : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Cell, java::lang::Object)

public:
    static inline int destroyed = 0;
    VMField<java::lang::Object> other;

    ~Cell() override { ++destroyed; }
    void markReferences(uint32_t bits) override { _VM_markRef(other, bits); }
};

// Awaits finalisation from its construction on (no class of the system does
// that, so the test makes its own). Its finalize() counts, and throws when
// asked to.
class Mortal final : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Mortal, java::lang::Object)

public:
    static inline int finalized = 0;
    static inline int destroyed = 0;
    bool throwInFinalize = false;
    uint32_t flagsSeenInFinalize = 0;
    VMField<java::lang::Object> payload;

    VMPtr<Mortal> construct(bool throws) {
        Super::construct();
        throwInFinalize = throws;
        _VM_setFinalizable(this);
        payload = java::lang::Object::create();
        return this;
    }
    void finalize() override {
        ++finalized;
        flagsSeenInFinalize = _VM_flags;
        if (throwInFinalize) _VM_throw(java::lang::RuntimeException::create()->construct());
    }
    ~Mortal() override { ++destroyed; }
    void markReferences(uint32_t bits) override { _VM_markRef(payload, bits); }
};

}  // namespace t2gc

VM_REGISTER_CLASS(t2gc::Cell, .name = "t2.gc.Cell")
VM_REGISTER_CLASS(t2gc::Mortal, .name = "t2.gc.Mortal")

namespace {

using com::tarsel::sorrel::vm::Finalizer;
using t2gc::Cell;
using t2gc::Mortal;

void collect() { _VM_collect(_VM_runtime); }

bool inHeap(const Object* object) {
    for (Object* o = _VM_runtime->heapHead; o != nullptr; o = o->_VM_next)
        if (o == object) return true;
    return false;
}

Finalizer* finalizer() { return dynamic_cast<Finalizer*>(_VM_runtime->finalizer.target); }

class CollectorTest : public VMTest {};

TEST_F(CollectorTest, UnreachableObjectsAndCyclesGoWhileReachableOnesStay) {
    collect();
    const size_t count = _VM_heapCount(_VM_runtime);
    const int destroyedBefore = Cell::destroyed;
    VMWeak<Cell> first, second, kept;
    VMPtr<Cell> root = Cell::create();
    {
        VMPtr<Cell> a = Cell::create();
        VMPtr<Cell> b = Cell::create();
        a->other = b;  // a and b refer only to each other
        b->other = a;
        first = a;
        second = b;
        root->other = Cell::create();
        kept = dynamic_cast<Cell*>(root->other.get());
    }
    collect();
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(second.isNull());
    EXPECT_FALSE(kept.isNull());
    EXPECT_EQ(Cell::destroyed, destroyedBefore + 2);
    EXPECT_EQ(_VM_heapCount(_VM_runtime), count + 2);

    root = nullptr;
    collect();
    EXPECT_TRUE(kept.isNull());
    EXPECT_EQ(Cell::destroyed, destroyedBefore + 4);
    EXPECT_EQ(_VM_heapCount(_VM_runtime), count);
}

// A heap of many thousand objects is walked in several stretches at once
// (more stretches than walk at once): every object of every stretch is
// cleared and swept, also in the collections after one that kept survivors,
// with new objects before them, after collections that found nothing to
// destroy (and so did not sweep), and after an object has left the list
// outside a sweep (a construction that failed). A sweep walks only the
// objects made since the sweep before when every older one was marked, and
// still finds the older ones that were not.
TEST_F(CollectorTest, EveryStretchOfALargeHeapIsWalked) {
    VM_SKIP_UNDER_STRESS();  // tens of thousands of collections of a large heap
    collect();
    auto cellsInHeap = [] {
        size_t n = 0;
        for (Object* o = _VM_runtime->heapHead; o != nullptr; o = o->_VM_next) n += dynamic_cast<Cell*>(o) != nullptr;
        return n;
    };
    const size_t cellsBefore = cellsInHeap();
    const int destroyedBefore = Cell::destroyed;
    constexpr jint kObjects = 120000;
    VMPtr<VMArray<Cell, 1>> kept = VMArray<Cell, 1>::create(kObjects / 3);
    for (jint i = 0; i < kObjects; ++i) {
        VMPtr<Cell> cell = Cell::create();
        if (i % 3 == 0) kept->set(i / 3, cell);
    }
    struct Round {
        const char* what;
        size_t cells;  // beyond those before
        int destroyed;
        int young = 0;  // the sweep, if any, walks the young objects alone (2: either)
    };
    auto check = [&](const Round& round) {
        const uint32_t youngSweeps = _VM_youngSweeps;
        collect();
        if (round.young != 2) {
            EXPECT_EQ(_VM_youngSweeps - youngSweeps, uint32_t(round.young)) << round.what;
        }
        EXPECT_EQ(_VM_heapObjects, _VM_heapCount(_VM_runtime)) << round.what;
        EXPECT_EQ(cellsInHeap() - cellsBefore, round.cells) << round.what;
        EXPECT_EQ(Cell::destroyed - destroyedBefore, round.destroyed) << round.what;
        for (jint i = 0; kept != nullptr && i < kept->length; ++i) {
            Cell* cell = kept->get(i);
            if (cell != nullptr) {
                EXPECT_TRUE(_VM_isMarked(cell)) << round.what << " " << i;
                EXPECT_EQ(cell->_VM_flags & ~uint32_t(VM_FLAG_MARKED), uint32_t(VM_FLAG_REACHED))
                    << round.what << " " << i;
            }
        }
    };
    // (Whether the first sweep may walk the young alone depends on the tests
    // before.)
    check({"first", kObjects / 3, kObjects - kObjects / 3, 2});
    check({"nothing to destroy", kObjects / 3, kObjects - kObjects / 3});
    check({"nothing to destroy again", kObjects / 3, kObjects - kObjects / 3});
    for (jint i = 0; i < kept->length; i += 2) kept->set(i, nullptr);
    check({"half the survivors dropped", kObjects / 6, kObjects - kObjects / 6});
    // New survivors among new garbage, after a collection without a sweep.
    check({"nothing to destroy after a sweep", kObjects / 6, kObjects - kObjects / 6});
    VMPtr<VMArray<Cell, 1>> late = VMArray<Cell, 1>::create(kObjects / 10);
    for (jint i = 0; i < kObjects; ++i) {
        VMPtr<Cell> cell = Cell::create();
        if (i % 10 == 0) late->set(i / 10, cell);
    }
    check({"new survivors and garbage", kObjects / 6 + kObjects / 10, 2 * kObjects - kObjects / 6 - kObjects / 10, 1});
    late = nullptr;
    check({"new survivors dropped", kObjects / 6, 2 * kObjects - kObjects / 6});
    for (jint i = 0; i < kObjects; ++i) VMPtr<Cell> garbage = Cell::create();
    check({"new garbage before the survivors", kObjects / 6, 3 * kObjects - kObjects / 6, 1});
    // A construction that fails unlinks its object outside any sweep.
    EXPECT_EQ(VM_THROWN_CLASS(VMLongs::create(INT32_MAX)), "java.lang.OutOfMemoryError");
    for (jint i = 0; i < kObjects; ++i) VMPtr<Cell> garbage = Cell::create();
    check({"after a failed construction", kObjects / 6, 4 * kObjects - kObjects / 6});
    kept = nullptr;
    check({"all dropped", 0, 4 * kObjects});
}

TEST_F(CollectorTest, AnObjectUnderConstructionSurvivesWithWhatItRefersTo) {
    const int destroyedBefore = Cell::destroyed;
    Cell* building = Cell::create().get();
    _VM_setConstructing(building);  // no root refers to it yet
    building->other = Cell::create();
    Object* child = building->other.get();
    collect();
    EXPECT_TRUE(inHeap(building));
    EXPECT_TRUE(inHeap(child));
    EXPECT_EQ(building->_VM_flags & VM_FLAG_REACHED, 0u);  // kept, but not reached
    EXPECT_TRUE(_VM_isMarked(child));
    EXPECT_FALSE(_VM_runtime->finalisableFound);
    _VM_endConstruction(building);
    collect();
    EXPECT_EQ(Cell::destroyed, destroyedBefore + 2);
}

TEST_F(CollectorTest, NothingHappensBeforeStageTwelve) {
    VMWeak<Object> watch;
    watch = Object::create();
    const uint32_t count = _VM_runtime->collectionCount;
    const jint stage = _VM_runtime->stage;
    _VM_runtime->stage = VM_STAGE_SYSTEM_THREADS;
    collect();
    _VM_runtime->stage = stage;
    EXPECT_EQ(_VM_runtime->collectionCount, count);
    EXPECT_FALSE(watch.isNull());
    collect();
    EXPECT_EQ(_VM_runtime->collectionCount, count + 1);
    EXPECT_TRUE(watch.isNull());
}

// The stress mode is in every build: the allocator takes N from
// VESSILO_GC_STRESS when it starts, and then collects on every Nth
// allocation, the inline allocation path included; without it, none.
TEST_F(CollectorTest, TheStressModeFromTheEnvironmentCollectsOnEveryNthAllocation) {
    const VMHeapAccount saved = _VM_heap;
    // The runtime this process booted took the mode from the environment.
    EXPECT_EQ(saved.stressInterval != 0, vmStressMode());
    const char* before = std::getenv("VESSILO_GC_STRESS");
    const std::string previous = before ? before : "";
    auto allocationsCollect = [](uint64_t interval) {
        _VM_heap.stressInterval = interval;
        const uint32_t start = _VM_runtime->collectionCount;
        for (int i = 0; i < 40; ++i) VMPtr<Object> kept(Object::create());
        return _VM_runtime->collectionCount - start;
    };
    for (const char* value : {"4", "0", ""}) {
        ::setenv("VESSILO_GC_STRESS", value, 1);
        const VMHeapAccount current = _VM_heap;
        _VM_initAllocator(current.baseLimit, current.maximum);
        const uint64_t interval = _VM_heap.stressInterval;
        // What the restart reset is given back: the live objects stay counted.
        _VM_heap = current;
        EXPECT_EQ(interval, value[0] == '4' ? 4u : 0u) << "VESSILO_GC_STRESS=" << value;
        const uint32_t collections = allocationsCollect(interval);
        if (interval == 4)
            EXPECT_GE(collections, 9u);
        else
            EXPECT_LE(collections, 1u) << "VESSILO_GC_STRESS=" << value;
    }
    if (before)
        ::setenv("VESSILO_GC_STRESS", previous.c_str(), 1);
    else
        ::unsetenv("VESSILO_GC_STRESS");
    _VM_heap.stressInterval = saved.stressInterval;
}

TEST_F(CollectorTest, TheLimitFollowsTheLiveDataUpAndDown) {
    VM_SKIP_UNDER_STRESS();
    struct RestoreLimits {
        VMHeapAccount saved = _VM_heap;
        ~RestoreLimits() {
            _VM_heap.baseLimit = saved.baseLimit;
            _VM_heap.limit = saved.limit;
        }
    } restore;
    auto inUse = [] { return HAL_getAllocatedBytes() + _VM_heap.used; };
    _VM_heap.baseLimit = 0;

    // A request that does not fit forces a collection, after which the limit
    // is twice what is in use, the request included.
    VMPtr<VMArray<jbyte, 1>> live = VMArray<jbyte, 1>::create(8 << 20);
    _VM_heap.limit = inUse();
    void* block = _VM_alloc(256, 1);
    const uint64_t grown = _VM_heap.limit;
    EXPECT_EQ(grown, 2 * inUse());
    _VM_free(block);

    // Once the live data has gone, the next forced collection lowers it.
    live = nullptr;
    _VM_heap.limit = inUse();
    block = _VM_alloc(256, 1);
    EXPECT_EQ(_VM_heap.limit, 2 * inUse());
    EXPECT_LT(_VM_heap.limit + (14u << 20), grown);
    _VM_free(block);
}

// --- finalisation ------------------------------------------------------------------

TEST_F(CollectorTest, ObjectsAwaitingFinalisationAreKeptFinalisedOnceThenFreed) {
    Finalizer* f = finalizer();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->getName()->_VM_toStdString(), "Finalizer");

    collect();
    const int finalizedBefore = Mortal::finalized;
    const int destroyedBefore = Mortal::destroyed;
    VMWeak<Mortal> dropped, throwing;
    VMWeak<Object> payload;
    VMPtr<Mortal> held = Mortal::create()->construct(false);
    {
        VMPtr<Mortal> a = Mortal::create()->construct(false);
        VMPtr<Mortal> b = Mortal::create()->construct(true);
        EXPECT_EQ(a->_VM_flags & (VM_FLAG_FINALIZABLE | VM_FLAG_CONSTRUCTING), uint32_t(VM_FLAG_FINALIZABLE));
        dropped = a;
        throwing = b;
        payload = a->payload;
    }
    Mortal* a = dropped.get();
    Mortal* b = throwing.get();

    // Kept with what they refer to; their weak references are cleared all the
    // same. The finalizer runs (started now if it never ran) until it is idle.
    collect();
    EXPECT_TRUE(dropped.isNull());
    EXPECT_TRUE(payload.isNull());
    EXPECT_TRUE(inHeap(a));
    EXPECT_TRUE(inHeap(b));
    EXPECT_FALSE(_VM_runtime->finalizerNotStarted);
    EXPECT_TRUE(f->isAlive());
    ASSERT_TRUE(vmWaitFor([&] {
        return Mortal::finalized >= finalizedBefore + 2 && f->idle == 1 && f->runtimeThread->state == VMThread::WAITING;
    }));
    EXPECT_EQ(Mortal::finalized, finalizedBefore + 2);
    // (In the stress mode the collections that the throwing finalize() causes
    // may already have freed them.)
    if (!vmStressMode()) {
        EXPECT_EQ(Mortal::destroyed, destroyedBefore);
    }
    // The finalizer clears "awaiting" and sets "finalised" before finalize runs.
    for (Mortal* m : {a, b}) {
        EXPECT_EQ(m->flagsSeenInFinalize & VM_FLAG_FINALIZABLE, 0u);
        EXPECT_NE(m->flagsSeenInFinalize & VM_FLAG_FINALIZED, 0u);
    }
    // A throwing finalize() did not end the finalizer; the held object was
    // not finalised.
    EXPECT_TRUE(f->isAlive());
    EXPECT_EQ(held->flagsSeenInFinalize, 0u);

    // Finalised objects are ordinary garbage now; the held one still awaits.
    collect();
    EXPECT_EQ(Mortal::destroyed, destroyedBefore + 2);
    EXPECT_TRUE(_VM_runtime->finalisableFound);
    ASSERT_TRUE(vmWaitFor([&] { return f->idle == 1 && f->runtimeThread->state == VMThread::WAITING; }));
    EXPECT_EQ(Mortal::finalized, finalizedBefore + 2);

    // Dropped too, it is finalised by the idle finalizer, woken again.
    held = nullptr;
    collect();
    ASSERT_TRUE(vmWaitFor([&] {
        return Mortal::finalized == finalizedBefore + 3 && f->idle == 1 && f->runtimeThread->state == VMThread::WAITING;
    }));
    collect();
    EXPECT_EQ(Mortal::destroyed, destroyedBefore + 3);
    EXPECT_FALSE(_VM_runtime->finalisableFound);
}

// The marked value flips with every collection, so the rounds below see
// both values. In each: new garbage (with a weak reference to some) goes; a
// rooted chain stays reached; an object left under construction stays with
// its child, unreached, its weak reference cleared; an object awaiting
// finalisation, once dropped, is kept with its payload, finalised, and goes
// in a later collection. Objects made in one round are marked as the
// survivors are, until the next collection.
TEST_F(CollectorTest, MarksStayRightOverManyCollectionsWithHalfBuiltAndFinalisableObjects) {
    Finalizer* f = finalizer();
    ASSERT_NE(f, nullptr);
    collect();
    VMPtr<Cell> rooted = Cell::create();
    rooted->other = Cell::create();
    Cell* building = Cell::create().get();
    _VM_setConstructing(building);
    building->other = Cell::create();
    Object* child = building->other.get();
    const int finalizedBefore = Mortal::finalized;
    const int destroyedBefore = Mortal::destroyed;
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        VMWeak<Cell> garbage, unfinished;
        VMWeak<Mortal> mortal;
        VMWeak<Object> payload;
        unfinished = building;
        for (int i = 0; i < 200; ++i) {
            VMPtr<Cell> cell = Cell::create();
            cell->other = Cell::create();
            if (i == 100) garbage = cell;
            EXPECT_TRUE(_VM_isMarked(cell.get()));  // made since the last collection
        }
        Mortal* dropped = nullptr;
        {
            VMPtr<Mortal> m = Mortal::create()->construct(false);
            mortal = m;
            payload = m->payload;
            dropped = m.get();
        }
        collect();
        EXPECT_TRUE(garbage.isNull());
        EXPECT_TRUE(unfinished.isNull());  // kept, but not reached
        EXPECT_TRUE(mortal.isNull());
        EXPECT_TRUE(payload.isNull());
        for (Object* o : {static_cast<Object*>(rooted.get()), rooted->other.get()}) {
            EXPECT_TRUE(_VM_isMarked(o));
            EXPECT_NE(o->_VM_flags & VM_FLAG_REACHED, 0u);
        }
        EXPECT_TRUE(inHeap(building));
        EXPECT_TRUE(inHeap(child));
        EXPECT_EQ(building->_VM_flags & VM_FLAG_REACHED, 0u);
        EXPECT_TRUE(_VM_isMarked(child));
        // The dropped object awaiting finalisation is kept until finalised.
        EXPECT_TRUE(inHeap(dropped));
        EXPECT_TRUE(_VM_runtime->finalisableFound);
        ASSERT_TRUE(vmWaitFor([&] {
            return Mortal::finalized == finalizedBefore + round + 1 && f->idle == 1 &&
                   f->runtimeThread->state == VMThread::WAITING;
        }));
        collect();
        EXPECT_EQ(Mortal::destroyed, destroyedBefore + round + 1);
        EXPECT_FALSE(_VM_runtime->finalisableFound);
    }
    _VM_endConstruction(building);
    EXPECT_EQ(_VM_constructingCount, 0u);
    collect();
    EXPECT_FALSE(inHeap(building));
    EXPECT_FALSE(inHeap(child));
}

// --- heap verification --------------------------------------------------------------

void printFatal(const char* message) { std::fprintf(stderr, "fatal: %s\n", message); }

class HeapVerificationDeathTest : public VMTest {};

TEST_F(HeapVerificationDeathTest, ABrokenHeapIsAFatalStopThatSaysWhatIsWrong) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            HAL_setFatalHook(printFatal);
            VMPtr<Object> o = Object::create();
            o->_VM_flags |= 64;
            _VM_verifyHeap(_VM_runtime);
        },
        testing::ExitedWithCode(1), "a flag word holds an unknown value");
    EXPECT_EXIT(
        {
            HAL_setFatalHook(printFatal);
            VMPtr<Object> a = Object::create();
            VMPtr<Object> b = Object::create();
            a->_VM_prev = a.get();  // should name b, the object before it
            _VM_verifyHeap(_VM_runtime);
        },
        testing::ExitedWithCode(1), "the links of the heap list disagree");
    EXPECT_EXIT(
        {
            HAL_setFatalHook(printFatal);
            VMPtr<Object> lost = Object::create();
            _VM_heapRemove(_VM_runtime, lost.get());
            _VM_verifyHeap(_VM_runtime);
        },
        testing::ExitedWithCode(1), "a root refers to an object outside the heap list");
    EXPECT_EXIT(
        {
            HAL_setFatalHook(printFatal);
            VMPtr<Cell> owner = Cell::create();
            owner->other = Object::create();
            collect();  // owner is marked now
            _VM_heapRemove(_VM_runtime, owner->other.get());
            _VM_verifyHeap(_VM_runtime);
        },
        testing::ExitedWithCode(1), "a field refers to an object outside the heap list");
#ifndef NDEBUG
    // Debug builds check before every collection.
    EXPECT_EXIT(
        {
            HAL_setFatalHook(printFatal);
            VMPtr<Object> o = Object::create();
            o->_VM_flags |= 128;
            collect();
        },
        testing::ExitedWithCode(1), "Heap verification failed before a collection: a flag word");
#endif
}

}  // namespace
