// Platform layer: the runtime lock, native threads and platform locks on
// Linux (std::thread, std::mutex, std::condition_variable).
#include "hal_thread.h"

#include "hal_system.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

struct NativeThreadRecord {
    std::thread handle;     // empty ("none") for attached threads
    bool attached = false;  // a thread the platform did not create
    std::atomic<bool> started{false};
    std::atomic<bool> running{false};
    std::atomic<bool> cancelled{false};
    std::atomic<bool> finished{false};
    bool waiting = false;  // guarded by mutex
    HAL_ThreadEntry entry = nullptr;
    void* data = nullptr;  // the entry's argument; the thread's data word

    // Wakes the suspended start and the platform sleep.
    std::mutex mutex;
    std::condition_variable wake;
};

// A first-in, first-out queue of nodes linked through their `next` word: the
// runtime lock's waiters and each platform lock's waiters. The caller guards
// it.
template <class Node>
struct WaitQueue {
    Node* head = nullptr;
    Node* tail = nullptr;

    void append(Node* node) {
        node->next = nullptr;
        if (tail)
            tail->next = node;
        else
            head = node;
        tail = node;
    }
    // The oldest node, unlinked; null when the queue is empty.
    Node* takeFirst() {
        Node* node = head;
        if (node) {
            head = node->next;
            if (!head) tail = nullptr;
            node->next = nullptr;
        }
        return node;
    }
    // Unlinks the first node that satisfies the test; returns it or null.
    template <class Test>
    Node* takeFirstWhere(Test test) {
        Node* previous = nullptr;
        for (Node* n = head; n; previous = n, n = n->next) {
            if (!test(n)) continue;
            if (previous)
                previous->next = n->next;
            else
                head = n->next;
            if (tail == n) tail = previous;
            n->next = nullptr;
            return n;
        }
        return nullptr;
    }
    // Empties the queue; returns the former chain.
    Node* takeAll() {
        Node* nodes = head;
        head = tail = nullptr;
        return nodes;
    }
};

namespace {

using Clock = std::chrono::steady_clock;

// --- runtime lock ------------------------------------------------------------------
//
// A recursive lock handed over in strict FIFO order: a releasing thread with
// waiters queued passes ownership straight to the oldest waiter, so it cannot
// retake the lock ahead of them. Each thread waits on a condition variable of
// its own, so a hand-over wakes exactly the next owner.
//
// One atomic word holds the owner and a "waiters queued" bit. Without waiters,
// taking and leaving the lock are a single compare-and-swap each; the mutex
// and the queue come into play only once a thread has to wait.

struct alignas(8) VMWaiter {
    std::condition_variable granted;
    bool isGranted = false;
    VMWaiter* next = nullptr;
};

constexpr uintptr_t kWaitersQueued = 1;

struct VMLock {
    std::atomic<uintptr_t> state{0};  // owner's VMWaiter address | kWaitersQueued
    std::mutex mutex;                 // guards the queue and the kWaitersQueued bit
    WaitQueue<VMWaiter> queue;
};

VMLock g_vmLock;
thread_local VMWaiter t_vmWaiter;
thread_local int t_vmDepth = 0;  // levels the calling thread holds

void acquireVMLock(int depth) {
    VMWaiter* self = &t_vmWaiter;
    const uintptr_t me = reinterpret_cast<uintptr_t>(self);
    uintptr_t expected = 0;
    if (!g_vmLock.state.compare_exchange_strong(expected, me, std::memory_order_acquire, std::memory_order_relaxed)) {
        std::unique_lock<std::mutex> guard(g_vmLock.mutex);
        for (;;) {
            expected = g_vmLock.state.load(std::memory_order_relaxed);
            if (expected == 0) {
                // Freed meanwhile, and nobody queued (the bit would be set).
                if (g_vmLock.state.compare_exchange_weak(expected, me, std::memory_order_acquire,
                                                         std::memory_order_relaxed))
                    break;
                continue;
            }
            // Held: mark the queue as used so the owner's leave takes the slow
            // path, then queue up. The owner cannot hand over before we wait,
            // since the hand-over needs the mutex.
            if (!g_vmLock.state.compare_exchange_weak(expected, expected | kWaitersQueued, std::memory_order_relaxed,
                                                      std::memory_order_relaxed))
                continue;
            self->isGranted = false;
            g_vmLock.queue.append(self);
            // The hand-over happened under the mutex, which the wait took
            // back: everything the previous owner did is visible.
            self->granted.wait(guard, [self] { return self->isGranted; });
            break;
        }
    }
    t_vmDepth = depth;
}

// Hands the lock to the oldest waiter, or frees it when none waits.
void handOverVMLock() {
    uintptr_t expected = reinterpret_cast<uintptr_t>(&t_vmWaiter);
    if (g_vmLock.state.compare_exchange_strong(expected, 0, std::memory_order_release, std::memory_order_relaxed))
        return;
    // The waiters bit is set: there is a queue, and the bit is only cleared
    // under the mutex, so it stays until we pass the lock on.
    std::lock_guard<std::mutex> guard(g_vmLock.mutex);
    VMWaiter* next = g_vmLock.queue.takeFirst();
    g_vmLock.state.store(reinterpret_cast<uintptr_t>(next) | (g_vmLock.queue.head ? kWaitersQueued : 0),
                         std::memory_order_release);
    next->isGranted = true;
    // Notified under the mutex: once it is released the waiter may run on,
    // end its thread and take its condition variable with it.
    next->granted.notify_one();
}

// --- current thread ---------------------------------------------------------------

// The calling thread's record. Records of attached threads belong to this
// slot and go with the thread; records of created threads belong to whoever
// deletes them.
struct CurrentThreadSlot {
    NativeThreadRecord* record = nullptr;
    bool owned = false;
    ~CurrentThreadSlot() {
        if (owned) delete record;
    }
};
thread_local CurrentThreadSlot t_current;

// --- platform sleep -----------------------------------------------------------------

void markWaiting(NativeThreadRecord* record) {
    std::lock_guard<std::mutex> guard(record->mutex);
    record->waiting = true;
}

void wakeRecord(NativeThreadRecord* record) {
    std::lock_guard<std::mutex> guard(record->mutex);
    record->waiting = false;
    record->wake.notify_all();
}

// Sleeps while the waiting mark stays set, up to the time given (negative:
// without limit), then clears the mark. The runtime lock is not held here.
void sleepWhileWaiting(NativeThreadRecord* record, int64_t milliseconds) {
    std::unique_lock<std::mutex> guard(record->mutex);
    auto woken = [record] { return !record->waiting; };
    if (milliseconds < 0) {
        record->wake.wait(guard, woken);
    } else if (milliseconds > 0) {
        record->wake.wait_until(guard, Clock::now() + std::chrono::milliseconds(milliseconds), woken);
    }
    record->waiting = false;
}

void retakeVMLock(int depth) {
    if (depth <= 0) return;
    acquireVMLock(depth);
    HAL_hostEnter();
}

void threadMain(NativeThreadRecord* record) {
    {
        std::unique_lock<std::mutex> guard(record->mutex);
        record->wake.wait(guard, [record] { return record->started.load(); });
    }
    t_current.record = record;
    t_current.owned = false;
    record->running = true;
    if (record->entry) {
        HAL_enterVMLock();
        HAL_hostEnter();
        record->entry(record->data);
        HAL_leaveVMLock();
    }
    record->running = false;
    // Last touch of the record: once finished, it may be deleted at any time.
    record->finished = true;
}

}  // namespace

// --- platform locks ----------------------------------------------------------------

struct HAL_LockWaiter {
    NativeThreadRecord* thread;
    HAL_LockWaiter* next;
};

struct HAL_Lock {
    // The waiter list; its own mutex keeps it consistent even for callers
    // that do not hold the runtime lock.
    mutable std::mutex listMutex;
    WaitQueue<HAL_LockWaiter> waiters;
    int waiterCount = 0;

    // The recursive critical section, owned by one thread at a time.
    std::mutex mutex;
    std::condition_variable released;
    std::thread::id owner;
    int depth = 0;

    void enter(int levels) {
        if (levels <= 0) return;
        std::thread::id self = std::this_thread::get_id();
        std::unique_lock<std::mutex> guard(mutex);
        if (owner == self) {
            depth += levels;
            return;
        }
        released.wait(guard, [this] { return depth == 0; });
        owner = self;
        depth = levels;
    }

    void leave() {
        std::lock_guard<std::mutex> guard(mutex);
        if (depth == 0 || owner != std::this_thread::get_id()) return;
        if (--depth == 0) {
            owner = std::thread::id();
            released.notify_one();
        }
    }

    // Leaves every level the calling thread holds; returns how many.
    int leaveFully() {
        std::lock_guard<std::mutex> guard(mutex);
        if (depth == 0 || owner != std::this_thread::get_id()) return 0;
        int levels = depth;
        depth = 0;
        owner = std::thread::id();
        released.notify_one();
        return levels;
    }

    // Takes the first waiter off the list (null when there is none).
    HAL_LockWaiter* popWaiter() {
        HAL_LockWaiter* node = waiters.takeFirst();
        if (node) --waiterCount;
        return node;
    }
};

// --- runtime lock ------------------------------------------------------------------

void HAL_enterVMLock() {
    if (t_vmDepth > 0) {
        ++t_vmDepth;
        return;
    }
    acquireVMLock(1);
}

void HAL_leaveVMLock() {
    if (t_vmDepth <= 0) return;  // not held: nothing to leave
    if (--t_vmDepth == 0) handOverVMLock();
}

void HAL_yieldVMLock() {
    const int depth = t_vmDepth;
    if (depth <= 0) return;
    if (g_vmLock.state.load(std::memory_order_relaxed) & kWaitersQueued) {
        // Hand-over and re-queueing are one step: a thread that yields in
        // between must find this one queued, or two yielding threads would
        // not alternate.
        VMWaiter* self = &t_vmWaiter;
        std::unique_lock<std::mutex> guard(g_vmLock.mutex);
        if (VMWaiter* next = g_vmLock.queue.takeFirst()) {
            self->isGranted = false;
            g_vmLock.queue.append(self);
            // This thread is queued now, so the waiters bit stays set.
            g_vmLock.state.store(reinterpret_cast<uintptr_t>(next) | kWaitersQueued, std::memory_order_release);
            next->isGranted = true;
            next->granted.notify_one();
            self->granted.wait(guard, [self] { return self->isGranted; });
        }
    }
    t_vmDepth = depth;
    HAL_hostEnter();
}

bool HAL_holdsVMLock() { return t_vmDepth > 0; }

int HAL_releaseVMLockFully() {
    int depth = t_vmDepth;
    if (depth <= 0) return 0;
    t_vmDepth = 0;
    handOverVMLock();
    return depth;
}

void HAL_reacquireVMLock(int depth) {
    if (depth <= 0) return;
    if (t_vmDepth > 0) {
        t_vmDepth += depth;
        return;
    }
    acquireVMLock(depth);
}

void HAL_parkForever() {
    HAL_releaseVMLockFully();
    std::mutex parking;
    std::condition_variable never;
    std::unique_lock<std::mutex> hold(parking);
    for (;;) never.wait(hold);
}

int HAL_vmLockWaiterCount() {
    std::lock_guard<std::mutex> guard(g_vmLock.mutex);
    int count = 0;
    for (VMWaiter* w = g_vmLock.queue.head; w; w = w->next) ++count;
    return count;
}

// --- native thread records --------------------------------------------------------

namespace {
std::atomic<int> g_unjoinedThreads{0};

// Joins the record's platform thread (detaches it when it is the caller's).
void joinHandle(NativeThreadRecord* record) {
    if (!record->handle.joinable()) return;
    if (record->handle.get_id() == std::this_thread::get_id())
        record->handle.detach();
    else
        record->handle.join();
    --g_unjoinedThreads;
}
}  // namespace

int HAL_unjoinedThreadCount() { return g_unjoinedThreads.load(); }

int HAL_createThread(NativeThreadRecord** record, HAL_ThreadEntry entry, void* argument) {
    if (!record) return HAL_BAD_ARGUMENT;
    *record = nullptr;
    auto* created = new (std::nothrow) NativeThreadRecord;
    if (!created) return HAL_FAILED;
    created->entry = entry;
    created->data = argument;
    try {
        created->handle = std::thread(threadMain, created);
        ++g_unjoinedThreads;
    } catch (const std::system_error&) {
        delete created;
        return HAL_FAILED;
    }
    *record = created;
    return HAL_OK;
}

void HAL_startThread(NativeThreadRecord* record) {
    if (!record || record->attached) return;
    std::lock_guard<std::mutex> guard(record->mutex);
    if (record->started) return;
    record->started = true;
    record->wake.notify_all();
}

void HAL_yield() { HAL_yieldVMLock(); }

NativeThreadRecord* HAL_getCurrentThread() {
    if (!t_current.record) {
        auto* attached = new NativeThreadRecord;
        attached->attached = true;
        attached->started = true;
        attached->running = true;
        t_current.record = attached;
        t_current.owned = true;
    }
    return t_current.record;
}

void* HAL_getCurrentThreadData() { return HAL_getCurrentThread()->data; }

void HAL_setCurrentThreadData(NativeThreadRecord* handle, void* value) {
    if (handle) HAL_getCurrentThread()->data = value;
}

void HAL_cancelThread(NativeThreadRecord* record) {
    if (record) record->cancelled = true;
}

void HAL_deleteThread(NativeThreadRecord* record) {
    if (!record) return;
    if (record->attached) {
        // The host's own thread: its record goes now when it is the caller's,
        // otherwise with its thread (freeing it here would leave that thread
        // holding a dangling record).
        if (t_current.record == record) {
            t_current.record = nullptr;
            t_current.owned = false;
            delete record;
        }
        return;
    }
    if (!record->finished) HAL_fatalError("HAL_deleteThread() called on thread that has not finished\n");
    // The finished mark is the thread's last step, so the join returns at once.
    joinHandle(record);
    delete record;
}

void HAL_joinFinishedThread(NativeThreadRecord* record) {
    if (!record || record->attached || !record->finished) return;
    if (record->handle.joinable() && record->handle.get_id() != std::this_thread::get_id()) joinHandle(record);
}

void HAL_deleteUnstartedThread(NativeThreadRecord* record) {
    if (!record || record->attached) return;
    bool released = false;
    {
        std::lock_guard<std::mutex> guard(record->mutex);
        if (!record->started) {
            // Released without its entry: the thread only marks itself
            // finished, so the join below is short and needs no runtime lock.
            record->entry = nullptr;
            record->started = true;
            record->wake.notify_all();
            released = true;
        }
    }
    if (released) joinHandle(record);
    HAL_deleteThread(record);
}

bool HAL_isThreadFinished(const NativeThreadRecord* record) { return record && record->finished; }

bool HAL_isThreadCancelled(const NativeThreadRecord* record) { return record && record->cancelled; }

// --- platform sleep -----------------------------------------------------------------

void HAL_sleep(uint32_t milliseconds) {
    NativeThreadRecord* self = HAL_getCurrentThread();
    // The mark goes up before anything is released: a wake-up that arrives
    // from here on ends the sleep.
    markWaiting(self);
    int depth = HAL_releaseVMLockFully();
    sleepWhileWaiting(self, milliseconds);
    retakeVMLock(depth);
}

// --- platform locks ----------------------------------------------------------------

int HAL_createLock(HAL_Lock** lock, int locked) {
    if (!lock) return HAL_BAD_ARGUMENT;
    *lock = new (std::nothrow) HAL_Lock;
    if (!*lock) return HAL_OUT_OF_MEMORY;
    if (locked) (*lock)->enter(1);
    return HAL_OK;
}

void HAL_deleteLock(HAL_Lock* lock) {
    if (!lock) return;
    {
        std::lock_guard<std::mutex> guard(lock->listMutex);
        while (HAL_LockWaiter* node = lock->popWaiter()) delete node;
    }
    delete lock;
}

void HAL_lock(HAL_Lock* lock) {
    if (!lock) return;
    // Platform lock first, then the runtime lock: never wait for the one
    // while holding the other.
    int depth = HAL_releaseVMLockFully();
    lock->enter(1);
    retakeVMLock(depth);
}

void HAL_unlock(HAL_Lock* lock) {
    if (lock) lock->leave();
}

void HAL_wait(HAL_Lock* lock, int64_t milliseconds) {
    if (!lock) return;
    constexpr int64_t kLongestWait = 4294967294LL;
    int64_t timeout = milliseconds <= 0 ? -1 : std::min(milliseconds, kLongestWait);
    NativeThreadRecord* self = HAL_getCurrentThread();

    auto* node = new (std::nothrow) HAL_LockWaiter{self, nullptr};
    if (node) {
        // Queued and marked before anything is released, so a notify that
        // comes at any later moment finds the node and ends the sleep.
        std::lock_guard<std::mutex> guard(lock->listMutex);
        lock->waiters.append(node);
        ++lock->waiterCount;
        markWaiting(self);
    }
    int lockDepth = lock->leaveFully();
    int vmDepth = HAL_releaseVMLockFully();
    // Without a node nothing could wake the thread: it returns at once, as
    // after a spurious wake-up.
    if (node) sleepWhileWaiting(self, timeout);

    // A waiter whose time ran out is still queued; take its node out so a
    // later notify is not spent on it. The node is found by its thread, not
    // by its address: a notify may have freed it and the address been reused.
    HAL_LockWaiter* stale = nullptr;
    {
        std::lock_guard<std::mutex> guard(lock->listMutex);
        stale = lock->waiters.takeFirstWhere([self](HAL_LockWaiter* n) { return n->thread == self; });
        if (stale) --lock->waiterCount;
    }
    delete stale;

    lock->enter(lockDepth);
    retakeVMLock(vmDepth);
}

void HAL_notify(HAL_Lock* lock) {
    if (!lock) return;
    HAL_LockWaiter* node;
    {
        std::lock_guard<std::mutex> guard(lock->listMutex);
        node = lock->popWaiter();
        if (node) wakeRecord(node->thread);
    }
    delete node;
}

void HAL_notifyAll(HAL_Lock* lock) {
    if (!lock) return;
    HAL_LockWaiter* nodes;
    {
        std::lock_guard<std::mutex> guard(lock->listMutex);
        nodes = lock->waiters.takeAll();
        for (HAL_LockWaiter* n = nodes; n; n = n->next) wakeRecord(n->thread);
        lock->waiterCount = 0;
    }
    while (nodes) {
        HAL_LockWaiter* next = nodes->next;
        delete nodes;
        nodes = next;
    }
}

int HAL_waiterCount(const HAL_Lock* lock) {
    if (!lock) return 0;
    std::lock_guard<std::mutex> guard(lock->listMutex);
    return lock->waiterCount;
}

// --- clock ----------------------------------------------------------------------

uint64_t HAL_getTickCount() {
    auto since = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch());
    return static_cast<uint64_t>(since.count());
}
