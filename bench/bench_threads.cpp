// Throwables and runtime threads: a throw caught three frames up, the
// hand-over of a yield between two runtime threads, and a monitor that two
// runtime threads contend for.
#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <thread>

#include "VM.h"
#include "bench_support.h"
#include "vm_boot.h"
#include "hal_thread.h"
#include "java_lang_RuntimeException.h"

namespace {

using java::lang::Object;
using java::lang::RuntimeException;
using Partner = vmtest::Task;

// --- throw and catch ------------------------------------------------------------

// Three frames, each with a local reference of its own that the unwinding
// removes; the innermost throws when its argument says so.
void frame3(jint mode) {
    VMPtr<Object> local;
    benchmark::DoNotOptimize(local.target);
    if (mode != 0) _VM_throw(RuntimeException::create()->construct());
}

void frame2(jint mode) {
    VMPtr<Object> local;
    benchmark::DoNotOptimize(local.target);
    frame3(mode);
}

void frame1(jint mode) {
    VMPtr<Object> local;
    benchmark::DoNotOptimize(local.target);
    frame2(mode);
}

// Creating the exception, throwing it as its own class, unwinding three
// frames and catching it by a super-class.
void BM_ThrowCatchThreeFrames(benchmark::State& state) {
    benchBoot();
    jint mode = 1;
    benchmark::DoNotOptimize(mode);
    int64_t caught = 0;
    for (auto _ : state) {
        try {
            frame1(mode);
        } catch (java::lang::Exception* e) {
            benchmark::DoNotOptimize(e);
            ++caught;
        }
    }
    if (caught != state.iterations()) state.SkipWithError("an exception was not caught");
}
BENCHMARK(BM_ThrowCatchThreeFrames);

// --- runtime threads -----------------------------------------------------------

// A runtime thread running body, started and queued for the runtime lock
// that the benchmark thread holds.
class PartnerThread {
public:
    explicit PartnerThread(std::function<void()> body) : task(Partner::create()) {
        task->body = std::move(body);
        thread = new VMThread(task.get());
        thread->start();
        while (HAL_vmLockWaiterCount() == 0) std::this_thread::yield();
    }
    // The body must have been told to stop; waits for the end and reaps.
    ~PartnerThread() {
        while (thread->state != VMThread::ENDED || !HAL_isThreadFinished(thread->platformThread))
            VMThread::sleep(VMThread::current(), 1);
        delete thread;
    }
    PartnerThread(const PartnerThread&) = delete;
    PartnerThread& operator=(const PartnerThread&) = delete;

    VMPtr<Partner> task;
    VMThread* thread;
};

// One iteration: the benchmark thread yields, the partner runs and yields
// back (two hand-overs of the runtime lock).
void BM_YieldHandOverBetweenRuntimeThreads(benchmark::State& state) {
    benchBoot();
    bool stop = false;
    int64_t partnerTurns = 0;
    {
        PartnerThread partner([&] {
            while (!stop) {
                ++partnerTurns;
                VMThread::yield();
            }
        });
        for (auto _ : state) VMThread::yield();
        stop = true;
    }
    state.SetItemsProcessed(state.iterations() * 2);
    state.counters["partner_turns"] = double(partnerTurns);
}
BENCHMARK(BM_YieldHandOverBetweenRuntimeThreads)->UseRealTime();

// One iteration: the benchmark thread takes a monitor that the partner
// keeps taking too. Both yield while they hold it, so every entry meets the
// other thread (the monitor inflates on the first clash), and again after
// leaving it, so the two take turns instead of one starving the other.
void BM_ContendedMonitorBetweenRuntimeThreads(benchmark::State& state) {
    benchBoot();
    VMPtr<Object> monitor = Object::create();
    bool stop = false;
    int64_t partnerEntries = 0;
    {
        PartnerThread partner([&] {
            while (!stop) {
                {
                    VMSynchronized hold(monitor);
                    ++partnerEntries;
                    VMThread::yield();
                }
                VMThread::yield();
            }
        });
        for (auto _ : state) {
            {
                VMSynchronized hold(monitor);
                VMThread::yield();
            }
            VMThread::yield();
        }
        stop = true;
    }
    if (monitor->_VM_inflated == nullptr) state.SkipWithError("the monitor never inflated");
    state.counters["partner_entries"] = double(partnerEntries);
}
BENCHMARK(BM_ContendedMonitorBetweenRuntimeThreads)->UseRealTime();

// A thread that waits one second to enter a thin monitor held by a sleeping
// thread: the share of a core it uses meanwhile (target: under 5%).
void BM_BlockedOnThinMonitorCpuShare(benchmark::State& state) {
    benchBoot();
    auto threadCpuSeconds = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    };
    double share = 0;
    for (auto _ : state) {
        VMPtr<Object> monitor = Object::create();
        bool holding = false;
        PartnerThread partner([&] {
            VMSynchronized hold(monitor);
            holding = true;
            VMThread::sleep(VMThread::current(), 1000);
        });
        while (!holding) VMThread::sleep(VMThread::current(), 1);
        const auto wallStart = std::chrono::steady_clock::now();
        const double cpuStart = threadCpuSeconds();
        { VMSynchronized enter(monitor); }
        const double cpu = threadCpuSeconds() - cpuStart;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        share = cpu / wall;
    }
    state.counters["cpu_share_while_blocked"] = share;
}
BENCHMARK(BM_BlockedOnThinMonitorCpuShare)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
