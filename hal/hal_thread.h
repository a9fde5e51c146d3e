// Platform layer: the runtime lock, native threads, platform locks with wait
// and notify.
//
// Runtime code runs only while its thread holds the one runtime lock. The
// runtime lock is recursive and hands over in FIFO order. Every switch point
// (yield, the platform sleep, wait, HAL_lock) releases all levels the thread
// holds and restores the same depth afterwards, then runs the enter callback
// (HAL_HostCallbacks::enter).
#pragma once

#include <cstdint>

struct NativeThreadRecord;
struct HAL_Lock;

using HAL_ThreadEntry = void (*)(void* argument);

// --- runtime lock -----------------------------------------------------------
void HAL_enterVMLock();
void HAL_leaveVMLock();
// Leaves the runtime lock, queues for it again behind any waiting thread,
// then runs the enter callback.
void HAL_yieldVMLock();
// True when the calling thread holds the runtime lock.
bool HAL_holdsVMLock();
// Releases every level held by the calling thread; returns the depth.
int HAL_releaseVMLockFully();
// Takes the runtime lock back at the given depth (no enter callback).
void HAL_reacquireVMLock(int depth);
// Gives up the runtime lock and blocks the calling thread for good (a runtime
// thread that outlived its runtime).
[[noreturn]] void HAL_parkForever();
// Number of threads queued for the runtime lock (tests).
int HAL_vmLockWaiterCount();

// --- native thread records --------------------------------------------------
// Creates a record with its platform thread, suspended. The entry runs under
// the runtime lock when the thread is started and the entry is non-null.
// HAL_OK on success; HAL_BAD_ARGUMENT for a null record pointer; HAL_FAILED
// (with *record null) when the record or the platform thread cannot be made.
int HAL_createThread(NativeThreadRecord** record, HAL_ThreadEntry entry, void* argument);
// Resumes the thread once; a second call does nothing. Null is ignored.
void HAL_startThread(NativeThreadRecord* record);
// Releases the runtime lock, takes it again at once, then the enter callback.
void HAL_yield();
// The calling thread's record; a thread not made by HAL_createThread gets a
// record of its own on first use.
NativeThreadRecord* HAL_getCurrentThread();
void* HAL_getCurrentThreadData();
void HAL_setCurrentThreadData(NativeThreadRecord* handle, void* value);
// Only marks the record; the platform thread is not stopped.
void HAL_cancelThread(NativeThreadRecord* record);
// Fatal for a record whose thread has not finished; else closes and frees it.
void HAL_deleteThread(NativeThreadRecord* record);
// Joins the platform thread of a record whose thread has finished (shutdown:
// the record itself outlives it). A thread not finished, the caller's own
// and attached threads are left alone. Null is ignored.
void HAL_joinFinishedThread(NativeThreadRecord* record);
// Platform threads made by HAL_createThread and not yet joined (tests).
int HAL_unjoinedThreadCount();
// Ends a thread that was never started (its entry never runs) and frees its
// record. A started thread is deleted as by HAL_deleteThread. Null is ignored.
void HAL_deleteUnstartedThread(NativeThreadRecord* record);
bool HAL_isThreadFinished(const NativeThreadRecord* record);
bool HAL_isThreadCancelled(const NativeThreadRecord* record);

// The platform sleep of the calling thread (milliseconds, 0 does not sleep):
// releases the runtime lock, sleeps until the time has passed or the thread's
// waiting mark is cleared (HAL_notify, HAL_notifyAll), retakes the runtime
// lock and runs the enter callback.
void HAL_sleep(uint32_t milliseconds);

// --- platform locks ---------------------------------------------------------
// A new lock; entered at once by the caller when locked is non-zero. HAL_OK;
// HAL_BAD_ARGUMENT for a null out-parameter; HAL_OUT_OF_MEMORY (with *lock
// null) when it cannot be allocated.
int HAL_createLock(HAL_Lock** lock, int locked);
void HAL_deleteLock(HAL_Lock* lock);
// Releases the runtime lock, enters the lock, retakes the runtime lock, runs
// the enter callback.
void HAL_lock(HAL_Lock* lock);
void HAL_unlock(HAL_Lock* lock);
// Waits on the lock (which the caller holds) up to milliseconds (0 or less:
// without limit; at most 4294967294). The caller holds the lock again
// afterwards. A waiter whose time ran out removes its own node.
void HAL_wait(HAL_Lock* lock, int64_t milliseconds);
void HAL_notify(HAL_Lock* lock);
void HAL_notifyAll(HAL_Lock* lock);
// Number of threads queued on the lock's waiter list (tests).
int HAL_waiterCount(const HAL_Lock* lock);

// Milliseconds of a monotonic clock (64-bit; never wraps).
uint64_t HAL_getTickCount();
