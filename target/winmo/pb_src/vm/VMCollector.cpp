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

// The objects awaiting finalisation, in the order they were flagged: the
// collection keeps those it did not reach without a walk over the heap.
std::vector<java::lang::Object*> finalisable;

// --- stretches of the heap list ------------------------------------------------
//
// Walking one list waits for one cache miss after the other. The sweep
// instead follows several stretches of the list at once; each starts at an
// object noted below and ends where the next one starts. Only a sweep
// destroys objects, so every noted object stays in the list, in list order,
// until the next sweep notes afresh.
//
// The objects made since the last sweep lie in front of those that outlived
// it (the boundary: the head as that sweep left it). When the mark finds
// every one of those old objects again, only the young part of the list can
// hold garbage, and the sweep walks that part alone.
constexpr uint32_t kStretch = 2048;
constexpr int kLanes = 16;

struct Stretches {
    const VMRuntime* runtime = nullptr;
    std::vector<java::lang::Object*> fresh;  // made since the last sweep, oldest first
    std::vector<java::lang::Object*> kept;   // survivors of the last sweep, in list order
    std::vector<java::lang::Object*> starts;
    bool bounded = false;                    // the boundary is known
    java::lang::Object* boundary = nullptr;  // the first old object (null: none)
    size_t oldObjects = 0;                   // objects from the boundary on
    size_t youngStretches = 0;               // stretches in front of the boundary
};
Stretches stretches;

// The first objects of the stretches, in list order, starting with the head.
const std::vector<java::lang::Object*>& stretchStarts(VMRuntime* runtime) {
    std::vector<java::lang::Object*>& starts = stretches.starts;
    starts.clear();
    starts.push_back(runtime->heapHead);
    stretches.youngStretches = 0;
    if (stretches.runtime != runtime) return starts;
    auto add = [&](java::lang::Object* o) {
        if (o != starts.back()) starts.push_back(o);
    };
    for (auto o = stretches.fresh.rbegin(); o != stretches.fresh.rend(); ++o) add(*o);
    if (stretches.bounded) {
        if (stretches.boundary == nullptr) {
            // Nothing outlived the last sweep: the whole list is young.
            stretches.youngStretches = starts.size();
        } else {
            add(stretches.boundary);
            stretches.youngStretches = starts.size() - 1;
        }
    }
    for (java::lang::Object* o : stretches.kept) add(o);
    return starts;
}

// Visits the objects inside the first `stretchCount` stretches, each stretch's
// first object excepted: the walker visits those itself, in list order,
// after this.
//
// A stretch's first object is where the stretch before it ends, and that
// stretch's lane compares against it, so it stays in place while the lanes
// run. Only the lane of a stretch destroys the objects inside it, and
// destroying one leaves the objects after it where they are: a lane may read
// the links of the objects ahead before it visits the current one.
//
// Each lane runs three objects deep, one step of memory each time the lanes
// take their turn: the header of the furthest is fetched; once a header is
// there, the walker may fetch the object's block (`ahead`); once the block
// is there, what the block refers to (`near`); then the object is visited.
template <class Walker>
void walkStretches(const std::vector<java::lang::Object*>& starts, size_t stretchCount, Walker& walker) {
    struct Lane {
        java::lang::Object* current;
        java::lang::Object* ahead;
        java::lang::Object* far;
        java::lang::Object* stop;  // the next stretch's first object
        size_t stretch;
    };
    Lane lanes[kLanes];
    int count = 0;
    size_t next = 0;
    // Gives a lane the next stretch with objects inside its ends; its first
    // objects are read at once.
    auto take = [&](Lane& l) {
        while (next < stretchCount) {
            const size_t stretch = next++;
            java::lang::Object* first = starts[stretch];
            java::lang::Object* stop = stretch + 1 < starts.size() ? starts[stretch + 1] : nullptr;
            java::lang::Object* o = first != nullptr ? first->_VM_next : nullptr;
            if (o == stop || o == nullptr) continue;
            l.current = o;
            l.ahead = o->_VM_next;
            l.far = l.ahead != stop && l.ahead != nullptr ? l.ahead->_VM_next : stop;
            if (l.far != stop && l.far != nullptr) __builtin_prefetch(l.far, 1);
            l.stop = stop;
            l.stretch = stretch;
            walker.ahead(o);
            walker.near(o);
            if (l.ahead != stop && l.ahead != nullptr) walker.ahead(l.ahead);
            return true;
        }
        return false;
    };
    auto inside = [](const Lane& l, java::lang::Object* o) { return o != l.stop && o != nullptr; };
    while (count < kLanes && take(lanes[count])) ++count;
    while (count > 0) {
        for (int i = 0; i < count;) {
            Lane& l = lanes[i];
            java::lang::Object* o = l.current;
            java::lang::Object* a = l.ahead;
            java::lang::Object* f = l.far;
            const bool more = inside(l, a);
            java::lang::Object* beyond = l.stop;
            if (more) {
                if (inside(l, f)) {
                    beyond = f->_VM_next;
                    if (inside(l, beyond)) __builtin_prefetch(beyond, 1);
                    walker.ahead(f);
                }
                walker.near(a);
            }
            walker.visit(o, l.stretch);
            if (more) {
                l.current = a;
                l.ahead = f;
                l.far = beyond;
                ++i;
            } else if (!take(l)) {
                l = lanes[--count];
            }
        }
    }
}

// The sweep: destroys every unmarked object, and notes the stretches of the
// survivors afresh: in list order, about one every kStretch survivors. A
// young sweep walks the stretches in front of the boundary alone and keeps
// those behind it. Every survivor it passes is old from now on.
class Sweep {
public:
    Sweep(VMRuntime* runtime, bool youngOnly)
        : starts(stretchStarts(runtime)),
          young(youngOnly),
          count(youngOnly ? stretches.youngStretches : starts.size()) {}

    void run() {
        notes.assign(count, {});
        walkStretches(starts, count, *this);
        finish();
    }

    // The start of the block of an object that goes: its destructor and the
    // allocator read there. Finding it needs the object's header.
    void ahead(java::lang::Object* o) {
        if (kept(o)) return;
        auto* start = static_cast<char*>(dynamic_cast<void*>(o));
        __builtin_prefetch(start - 16, 1);
        __builtin_prefetch(start + 48, 1);
    }
    // The blocks it owns, which its destructor frees.
    void near(java::lang::Object* o) {
        if (!kept(o)) o->_VM_prefetchStorage();
    }

    void visit(java::lang::Object* o, size_t stretch) {
        if (!kept(o)) {
            _VM_destroyObject(o);
            return;
        }
        if (o->_VM_young) o->_VM_young = 0;
        Notes& n = notes[stretch];
        if (++n.survivors == kStretch) {
            n.survivors = 0;
            n.inside.push_back(o);
        }
    }

private:
    // Marked by this collection (the marked value held in a register, not
    // read from memory after every destruction).
    bool kept(const java::lang::Object* o) const { return (o->_VM_flags & VM_FLAG_MARKED) == marked; }

    // What a stretch leaves for the stretch notes.
    struct Notes {
        std::vector<java::lang::Object*> inside;  // every kStretch-th survivor inside
        uint32_t survivors = 0;                   // inside, after the last of those
    };

    // The stretches' first objects, then the notes in list order.
    void finish() {
        std::vector<java::lang::Object*> old;
        if (young) old.swap(stretches.kept);
        stretches.kept.clear();
        uint32_t sinceNote = 0;
        for (size_t i = 0; i < count; ++i) {
            java::lang::Object* first = starts[i];
            if (first == nullptr) continue;
            if (!_VM_isMarked(first)) {
                _VM_destroyObject(first);
                continue;
            }
            first->_VM_young = 0;
            if (i > 0 && sinceNote >= kStretch) {
                stretches.kept.push_back(first);
                sinceNote = 0;
            } else {
                ++sinceNote;
            }
            const Notes& n = notes[i];
            if (!n.inside.empty()) {
                stretches.kept.insert(stretches.kept.end(), n.inside.begin(), n.inside.end());
                sinceNote = 0;
            }
            sinceNote += n.survivors;
        }
        if (young) {
            if (stretches.boundary != nullptr) stretches.kept.push_back(stretches.boundary);
            stretches.kept.insert(stretches.kept.end(), old.begin(), old.end());
        }
    }

    const std::vector<java::lang::Object*>& starts;
    const bool young;
    const size_t count;
    std::vector<Notes> notes;
    const uint32_t marked = _VM_markedValue;
};

size_t shaded = 0;       // objects marked by this collection
size_t shadedYoung = 0;  // of them, those made since the last sweep

// The mark proper: an object not yet marked takes the marked value, and the
// reached bit when the bits carry it, and waits on the stack for its
// references to be marked. Every object the collection keeps has both bits
// written here, so no walk clears them beforehand. The count of objects
// shaded tells whether the sweep has anything to destroy.
inline void shade(java::lang::Object* object, uint32_t bits) {
    const uint32_t flags = object->_VM_flags;
    if ((flags & VM_FLAG_MARKED) == _VM_markedValue) return;
    object->_VM_flags =
        (flags & ~uint32_t(VM_FLAG_REACHED | VM_FLAG_MARKED)) | _VM_markedValue | (bits & VM_FLAG_REACHED);
    ++shaded;
    shadedYoung += object->_VM_young;
    markStack.push_back(object);
}

// Keeps the objects under construction that the roots did not reach. They
// are among the objects made last (what a constructor makes comes after it
// in the list), so the walk from the head of the heap list ends soon after
// the last of them.
void keepConstructing(VMRuntime* runtime) {
    uint32_t left = _VM_constructingCount;
    for (java::lang::Object* o = runtime->heapHead; o != nullptr && left != 0; o = o->_VM_next) {
        if ((o->_VM_flags & VM_FLAG_CONSTRUCTING) == 0) continue;
        --left;
        _VM_mark(o, VM_FLAG_MARKED);
    }
}

constexpr size_t kStackAhead = 6;

void drain(uint32_t bits) {
    draining = true;
    for (;;) {
        if (!markStack.empty()) {
            java::lang::Object* object = markStack.back();
            markStack.pop_back();
            // An object deep in the stack was shaded long ago and has left
            // the cache since: the one a few places down is fetched again
            // while this one is marked.
            if (const size_t n = markStack.size(); n >= kStackAhead) {
                java::lang::Object* later = markStack[n - kStackAhead];
                __builtin_prefetch(later, 0);
                __builtin_prefetch(reinterpret_cast<char*>(later) - 64, 0);
            }
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

// The objects of the heap list while verifying: an open-addressed table of
// addresses (a power of two long, at most half full), so that each of the
// many references checked is found in a probe or two. Its room is kept
// from one verification to the next.
struct ListedObjects {
    std::vector<java::lang::Object*> room;
    java::lang::Object** slots = nullptr;  // room's elements
    size_t mask = 0;                       // room's size less one
    size_t count = 0;

    static size_t hash(const java::lang::Object* o) {
        return size_t((uintptr_t(o) >> 4) * uint64_t(0x9E3779B97F4A7C15ull) >> 17);
    }
    // Room for n objects, emptied.
    void reserve(size_t n) {
        size_t size = 64;
        while (size < 2 * n) size *= 2;
        if (room.size() < size) room.assign(size, nullptr);
        else std::fill(room.begin(), room.end(), nullptr);
        slots = room.data();
        mask = room.size() - 1;
        count = 0;
    }
    void add(java::lang::Object* o) {
        if (2 * (count + 1) > mask + 1) grow();
        for (size_t i = hash(o) & mask;; i = (i + 1) & mask) {
            if (slots[i] == o) return;
            if (slots[i] == nullptr) {
                slots[i] = o;
                ++count;
                return;
            }
        }
    }
    bool contains(const java::lang::Object* o) const {
        if (o == nullptr || slots == nullptr) return false;
        for (size_t i = hash(o) & mask;; i = (i + 1) & mask) {
            if (slots[i] == o) return true;
            if (slots[i] == nullptr) return false;
        }
    }
    void grow() {
        std::vector<java::lang::Object*> old;
        old.swap(room);
        reserve(old.size());
        for (java::lang::Object* o : old)
            if (o != nullptr) add(o);
    }
};
ListedObjects listedObjects;

[[noreturn]] void heapBroken(const char* what) {
    char message[200];
    std::snprintf(message, sizeof message, "Heap verification failed%s: %s!", verifyPhase, what);
    HAL_fatalError(message);
}

bool listed(java::lang::Object* object) { return listedObjects.contains(object); }

void checkRoots(VMRef* head) {
    for (VMRef* r = head; r != nullptr; r = r->link) {
        java::lang::Object* object = r->getObject();
        if (object != nullptr && !listed(object)) heapBroken("a root refers to an object outside the heap list");
    }
}

void checkField(java::lang::Object* target) {
    if (!listed(target)) heapBroken("a field refers to an object outside the heap list");
}

void verify(VMRuntime* runtime, const char* phase, bool swept = false) {
    verifyPhase = phase;
    listedObjects.reserve(_VM_heapObjects);
    // Every object's previous link names the object before it. A list that
    // runs into itself breaks this too: the object met again has another
    // previous object. While the boundary of the young is known, the objects
    // in front of it are young and those from it on old.
    const bool bounded = stretches.runtime == runtime && stretches.bounded;
    bool old = false;
    size_t oldObjects = 0;
    java::lang::Object* previous = nullptr;
    for (java::lang::Object* o = runtime->heapHead; o != nullptr; previous = o, o = o->_VM_next) {
        if (o->_VM_prev != previous) heapBroken("the links of the heap list disagree");
        if ((o->_VM_flags & ~kKnownFlags) != 0) heapBroken("a flag word holds an unknown value");
        if (swept && !_VM_isMarked(o)) heapBroken("an unmarked object outlived the collection");
        if (o->_VM_young > 1) heapBroken("an age holds an unknown value");
        if (bounded) {
            old = old || o == stretches.boundary;
            if (o->_VM_young != (old ? 0 : 1)) heapBroken("an object's age disagrees with the boundary of the young");
            oldObjects += old;
        }
        listedObjects.add(o);
        if (listedObjects.count > _VM_heapObjects) heapBroken("the count of objects disagrees with the heap list");
    }
    if (listedObjects.count != _VM_heapObjects) heapBroken("the count of objects disagrees with the heap list");
    if (bounded && oldObjects != stretches.oldObjects)
        heapBroken("the count of old objects disagrees with the heap list");

    for (java::lang::Object* o : finalisable) {
        if (!listed(o)) heapBroken("an object awaiting finalisation is outside the heap list");
        if ((o->_VM_flags & VM_FLAG_FINALIZABLE) == 0) heapBroken("an object noted as awaiting finalisation is not");
    }

    checkRoots(_VM_nativeScope()->head);
    checkRoots(_VM_staticScope()->head);
    checkRoots(_VM_weakScope()->head);
    for (VMListNode* n = runtime->threads.first; n != nullptr; n = n->next)
        checkRoots(static_cast<VMThread*>(n->value)->stackList);

    markVisitor = checkField;
    for (java::lang::Object* o = runtime->heapHead; o != nullptr; o = o->_VM_next)
        if (_VM_isMarked(o)) o->markReferences(0);
    markVisitor = nullptr;
    verifyPhase = "";
}

}  // namespace

uint32_t _VM_markedValue = VM_FLAG_MARKED;
uint32_t _VM_constructingCount = 0;

void _VM_setFinalizable(java::lang::Object* header) {
    if ((header->_VM_flags & VM_FLAG_FINALIZABLE) != 0) return;
    header->_VM_flags |= VM_FLAG_FINALIZABLE;
    finalisable.push_back(header);
}

void _VM_clearFinalizable(java::lang::Object* header) {
    header->_VM_flags &= ~uint32_t(VM_FLAG_FINALIZABLE);
    auto at = std::find(finalisable.begin(), finalisable.end(), header);
    if (at != finalisable.end()) finalisable.erase(at);
}

void _VM_setConstructing(java::lang::Object* header) {
    if ((header->_VM_flags & VM_FLAG_CONSTRUCTING) != 0) return;
    header->_VM_flags |= VM_FLAG_CONSTRUCTING;
    ++_VM_constructingCount;
}

uint32_t _VM_youngSweeps = 0;
uint32_t _VM_heapStretchCountdown = kStretch;
bool _VM_heapSweeping = false;

void _VM_heapNoteStretch(VMRuntime* runtime, java::lang::Object* header) {
    _VM_heapStretchCountdown = kStretch;
    if (stretches.runtime != runtime) {
        stretches.kept.clear();
        stretches.fresh.clear();
        stretches.bounded = false;
        stretches.runtime = runtime;
    }
    stretches.fresh.push_back(header);
}

void _VM_heapForgetStretches() {
    stretches.runtime = nullptr;
    stretches.fresh.clear();
    stretches.kept.clear();
    stretches.bounded = false;
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

    // Mark. The marked value flips, so every object now counts as unmarked.
    _VM_markedValue ^= VM_FLAG_MARKED;
    shaded = shadedYoung = 0;
    const uint32_t rootBits = VM_FLAG_REACHED | VM_FLAG_MARKED;
    _VM_markScope(_VM_nativeScope()->head, rootBits);
    _VM_markScope(_VM_staticScope()->head, rootBits);
    for (VMListNode* n = runtime->threads.first; n != nullptr; n = n->next)
        _VM_markScope(static_cast<VMThread*>(n->value)->stackList, rootBits);
    // Objects awaiting finalisation and objects still being built survive
    // with everything they refer to, but stay unreached.
    runtime->finalisableFound = !finalisable.empty();
    for (java::lang::Object* o : finalisable) _VM_mark(o, VM_FLAG_MARKED);
    if (_VM_constructingCount != 0) keepConstructing(runtime);

    // Sweep.
    _VM_clearWeakScope(_VM_weakScope()->head);
    if (shaded == _VM_heapObjects) {
        // Every object in the list is marked: nothing to destroy. The
        // stretches known now stay as they are, for the next sweep.
        if (stretches.runtime != runtime) _VM_heapForgetStretches();
    } else {
        // Every old object marked: the garbage is young.
        const bool youngOnly =
            stretches.runtime == runtime && stretches.bounded && shaded - shadedYoung == stretches.oldObjects;
        _VM_heapSweeping = true;
        _VM_youngSweeps += youngOnly;
        Sweep(runtime, youngOnly).run();
        _VM_heapSweeping = false;
        stretches.fresh.clear();
        stretches.bounded = true;
        stretches.boundary = runtime->heapHead;
        stretches.oldObjects = _VM_heapObjects;
    }
    stretches.runtime = runtime;
    _VM_heapStretchCountdown = kStretch;
    reclaimThreadRecords(runtime);
#ifndef NDEBUG
    verify(runtime, " after a collection", true);
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
