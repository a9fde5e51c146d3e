// The mark-and-sweep collector over the heap list, the reclamation of thread
// records, and the heap verification of debug builds.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "VMFinalizer.h"
#include "VMRuntime.h"
#include "VMThread.h"
#include "hal_system.h"
#include "hal_thread.h"

namespace {

// Marking uses an explicit stack, so a chain of any length is marked without
// deep native recursion.
std::vector<java::lang::Object*> markStack;
bool draining = false;

// While set, _VM_mark hands every reference it is given to this function
// instead of marking (the heap verification walks fields this way).
void (*markVisitor)(java::lang::Object* target) = nullptr;

// References found by markReferences wait a few turns in this ring before
// their flag word is read: their headers are fetched from memory meanwhile,
// so the mark waits on several cache misses at once instead of one after the
// other.
class PrefetchRing {
public:
    bool empty() const { return count == 0; }
    bool full() const { return count == kSize; }
    void push(java::lang::Object* object) {
        // The header, and the fields that usually lie just before it.
        __builtin_prefetch(object, 1);
        __builtin_prefetch(reinterpret_cast<char*>(object) - 64, 0);
        slots[(first + count) % kSize] = object;
        ++count;
    }
    java::lang::Object* pop() {
        java::lang::Object* object = slots[first];
        first = (first + 1) % kSize;
        --count;
        return object;
    }

private:
    static constexpr unsigned kSize = 16;
    java::lang::Object* slots[kSize];
    unsigned first = 0;
    unsigned count = 0;
};
PrefetchRing prefetchRing;

// The objects a collection keeps although unreached (awaiting finalisation
// or under construction), noted by the walk that clears the marks.
std::vector<java::lang::Object*> keptCandidates;

// --- stretches of the heap list ------------------------------------------------
//
// Walking one list waits for one cache miss after the other. The walk that
// clears the marks instead follows several stretches of the list at once;
// each starts at an object noted below and ends where the next one starts.
// Only a sweep destroys objects, so every noted object stays in the list, in
// list order, until the next sweep notes afresh.
constexpr uint32_t kStretch = 2048;
constexpr int kLanes = 8;

struct Stretches {
    const VMRuntime* runtime = nullptr;
    std::vector<java::lang::Object*> fresh;  // made since the last sweep, oldest first
    std::vector<java::lang::Object*> kept;   // survivors of the last sweep, in list order
    std::vector<java::lang::Object*> starts;
};
Stretches stretches;

// The first objects of the stretches, in list order, starting with the head.
const std::vector<java::lang::Object*>& stretchStarts(VMRuntime* runtime) {
    std::vector<java::lang::Object*>& starts = stretches.starts;
    starts.clear();
    starts.push_back(runtime->heapHead);
    if (stretches.runtime != runtime) return starts;
    auto add = [&](java::lang::Object* o) {
        if (o != starts.back()) starts.push_back(o);
    };
    for (auto o = stretches.fresh.rbegin(); o != stretches.fresh.rend(); ++o) add(*o);
    for (java::lang::Object* o : stretches.kept) add(o);
    return starts;
}

// Step 3a: clears 1 and 2 in every flag word, counts the objects awaiting
// finalisation and those under construction, and notes them.
void clearMarks(VMRuntime* runtime, size_t& awaiting, size_t& constructing) {
    const std::vector<java::lang::Object*>& starts = stretchStarts(runtime);
    java::lang::Object* at[kLanes];
    java::lang::Object* stop[kLanes];
    size_t next = 0;
    int lanes = 0;
    auto take = [&](int lane) {
        at[lane] = starts[next];
        stop[lane] = next + 1 < starts.size() ? starts[next + 1] : nullptr;
        ++next;
    };
    while (lanes < kLanes && next < starts.size()) take(lanes++);
    while (lanes > 0) {
        for (int lane = 0; lane < lanes;) {
            java::lang::Object* o = at[lane];
            if (o == nullptr) {  // an empty list
                at[lane] = at[--lanes];
                stop[lane] = stop[lanes];
                continue;
            }
            const uint32_t flags = o->_VM_flags & ~uint32_t(VM_FLAG_REACHED | VM_FLAG_MARKED);
            o->_VM_flags = flags;
            if ((flags & (VM_FLAG_FINALIZABLE | VM_FLAG_CONSTRUCTING)) != 0) [[unlikely]] {
                if (flags & VM_FLAG_FINALIZABLE) ++awaiting;
                if (flags & VM_FLAG_CONSTRUCTING) ++constructing;
                keptCandidates.push_back(o);
            }
            o = o->_VM_next;
            if (o != stop[lane] && o != nullptr) {
                at[lane] = o;
                ++lane;
            } else if (next < starts.size()) {
                take(lane);
                ++lane;
            } else {
                at[lane] = at[--lanes];
                stop[lane] = stop[lanes];
            }
        }
    }
}

// The mark proper: an object not yet marked takes the bits and waits on the
// stack for its references to be marked.
inline void shade(java::lang::Object* object, uint32_t bits) {
    if ((object->_VM_flags & VM_FLAG_MARKED) != 0) return;
    object->_VM_flags |= bits;
    markStack.push_back(object);
}

void drain(uint32_t bits) {
    draining = true;
    for (;;) {
        if (!markStack.empty()) {
            java::lang::Object* object = markStack.back();
            markStack.pop_back();
            object->markReferences(bits);
        } else if (!prefetchRing.empty()) {
            shade(prefetchRing.pop(), bits);
        } else {
            break;
        }
    }
    draining = false;
}

// A record goes once nothing can run on it any more: its thread object has
// been collected, and its thread either never started or has ended and its
// platform thread has finished. A thread marks its platform record finished
// only after it has given up the runtime lock, so a record that has
// ended can still be waiting for that; it is passed over until then.
bool reclaimable(const VMThread* thread) {
    if (thread->attached || thread->threadObject != nullptr) return false;
    if (thread->state == VMThread::CREATED) return true;
    return thread->state == VMThread::ENDED && HAL_isThreadFinished(thread->platformThread);
}

void reclaimThreadRecords(VMRuntime* runtime) {
    for (VMListNode* node = runtime->threads.first; node != nullptr;) {
        auto* thread = static_cast<VMThread*>(node->value);
        node = node->next;  // the record's node goes with it
        thread->outOfMemory = false;
        thread->emergencyBytes = 0;
        if (reclaimable(thread)) delete thread;
    }
}

// --- heap verification -----------------------------------------------------

constexpr uint32_t kKnownFlags =
    VM_FLAG_REACHED | VM_FLAG_MARKED | VM_FLAG_FINALIZABLE | VM_FLAG_FINALIZED | VM_FLAG_CONSTRUCTING;

const char* verifyPhase = "";
std::vector<java::lang::Object*> listedObjects;  // sorted while verifying

[[noreturn]] void heapBroken(const char* what) {
    char message[200];
    std::snprintf(message, sizeof message, "Heap verification failed%s: %s!", verifyPhase, what);
    HAL_fatalError(message);
}

bool listed(java::lang::Object* object) {
    return std::binary_search(listedObjects.begin(), listedObjects.end(), object);
}

void checkRoots(VMRef* head) {
    for (VMRef* r = head; r != nullptr; r = r->link) {
        java::lang::Object* object = r->getObject();
        if (object != nullptr && !listed(object)) heapBroken("a root refers to an object outside the heap list");
    }
}

void checkField(java::lang::Object* target) {
    if (!listed(target)) heapBroken("a field refers to an object outside the heap list");
}

void verify(VMRuntime* runtime, const char* phase) {
    verifyPhase = phase;
    listedObjects.clear();
    // Every object's previous link names the object before it. A list that
    // runs into itself breaks this too: the object met again has another
    // previous object.
    java::lang::Object* previous = nullptr;
    for (java::lang::Object* o = runtime->heapHead; o != nullptr; previous = o, o = o->_VM_next) {
        if (o->_VM_prev != previous) heapBroken("the links of the heap list disagree");
        if ((o->_VM_flags & ~kKnownFlags) != 0) heapBroken("a flag word holds an unknown value");
        listedObjects.push_back(o);
    }
    std::sort(listedObjects.begin(), listedObjects.end());

    checkRoots(_VM_nativeScope()->head);
    checkRoots(_VM_staticScope()->head);
    checkRoots(_VM_weakScope()->head);
    for (VMListNode* n = runtime->threads.first; n != nullptr; n = n->next)
        checkRoots(static_cast<VMThread*>(n->value)->stackList);

    markVisitor = checkField;
    for (java::lang::Object* o = runtime->heapHead; o != nullptr; o = o->_VM_next)
        if ((o->_VM_flags & VM_FLAG_MARKED) != 0) o->markReferences(0);
    markVisitor = nullptr;

    listedObjects.clear();
    verifyPhase = "";
}

}  // namespace

uint32_t _VM_heapStretchCountdown = kStretch;
bool _VM_heapSweeping = false;

void _VM_heapNoteStretch(VMRuntime* runtime, java::lang::Object* header) {
    _VM_heapStretchCountdown = kStretch;
    if (stretches.runtime != runtime) {
        stretches.kept.clear();
        stretches.fresh.clear();
        stretches.runtime = runtime;
    }
    stretches.fresh.push_back(header);
}

void _VM_heapForgetStretches() {
    stretches.runtime = nullptr;
    stretches.fresh.clear();
    stretches.kept.clear();
}

void _VM_mark(java::lang::Object* header, uint32_t bits) {
    if (header == nullptr) return;
    if (markVisitor != nullptr) {
        markVisitor(header);
        return;
    }
    if (draining) {
        // Reached from an object being marked: marked a few turns later.
        if (prefetchRing.full()) shade(prefetchRing.pop(), bits);
        prefetchRing.push(header);
        return;
    }
    shade(header, bits);
    drain(bits);
}

void _VM_verifyHeap(VMRuntime* runtime) {
    if (runtime != nullptr) verify(runtime, "");
}

void _VM_collect(VMRuntime* runtime) {
    if (runtime == nullptr || runtime->stage < VM_STAGE_COLLECTOR) return;
    // Switching stays off if it already was (shutdown turns it off for good).
    const bool switchingWasDisabled = VMThread::switchingDisabled();
    VMThread::disableSwitching();
    runtime->finalisableFound = false;
#ifndef NDEBUG
    verify(runtime, " before a collection");
#endif

    // Mark. The walk that clears the marks also notes, in heap-list order,
    // the few objects awaiting finalisation or under construction, so that
    // keeping them needs no second walk over the whole heap.
    size_t awaiting = 0, constructing = 0;
    keptCandidates.clear();
    clearMarks(runtime, awaiting, constructing);
    const uint32_t rootBits = VM_FLAG_REACHED | VM_FLAG_MARKED;
    _VM_markScope(_VM_nativeScope()->head, rootBits);
    _VM_markScope(_VM_staticScope()->head, rootBits);
    for (VMListNode* n = runtime->threads.first; n != nullptr; n = n->next)
        _VM_markScope(static_cast<VMThread*>(n->value)->stackList, rootBits);
    if (awaiting != 0 || constructing != 0) {
        // Objects awaiting finalisation and objects still being built survive
        // with everything they refer to, but stay unreached.
        runtime->finalisableFound = awaiting > 0;
        for (java::lang::Object* o : keptCandidates)
            if ((o->_VM_flags & VM_FLAG_REACHED) == 0) _VM_mark(o, VM_FLAG_MARKED);
    }
    keptCandidates.clear();

    // Sweep.
    _VM_clearWeakScope(_VM_weakScope()->head);
    // The sweep notes the stretches of the survivors afresh. It walks the
    // list in order: freed blocks are handed out again in the order they
    // were freed, so objects made together stay together in memory, which
    // keeps every later walk short.
    _VM_heapSweeping = true;
    stretches.runtime = runtime;
    stretches.kept.clear();
    uint32_t survivors = 0;
    // Two steps ahead: while an object is destroyed, the header after the
    // next is fetched, and so is the start of the next object's block when
    // it goes too (its destructor and the allocator read there).
    if (runtime->heapHead != nullptr) __builtin_prefetch(runtime->heapHead, 1);
    for (java::lang::Object* o = runtime->heapHead; o != nullptr;) {
        java::lang::Object* next = o->_VM_next;
        if (next != nullptr) {
            if (java::lang::Object* after = next->_VM_next) __builtin_prefetch(after, 1);
            if ((next->_VM_flags & VM_FLAG_MARKED) == 0) {
                // The block's header and the fields just after it: the
                // destructor and the allocator read there.
                auto* start = static_cast<char*>(dynamic_cast<void*>(next));
                __builtin_prefetch(start - 16, 1);
                __builtin_prefetch(start + 48, 1);
            }
        }
        if ((o->_VM_flags & VM_FLAG_MARKED) == 0) {
            _VM_destroyObject(o);
        } else if (++survivors == kStretch) {
            survivors = 0;
            stretches.kept.push_back(o);
        }
        o = next;
    }
    stretches.fresh.clear();
    _VM_heapStretchCountdown = kStretch;
    _VM_heapSweeping = false;
    reclaimThreadRecords(runtime);
#ifndef NDEBUG
    verify(runtime, " after a collection");
#endif

    HAL_compactHeap();
    ++runtime->collectionCount;
    const bool finalisable = runtime->finalisableFound;
    if (finalisable) _VM_wakeFinalizer(runtime);
    if (!switchingWasDisabled) VMThread::enableSwitching();
    if (finalisable) {
        if (runtime->finalizerNotStarted) {
            _VM_startFinalizer(runtime);
            runtime->finalizerNotStarted = false;
        }
        // Lets the finalizer run.
        VMThread::yield();
    }
}
