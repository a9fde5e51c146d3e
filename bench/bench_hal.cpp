// The runtime lock: hand-over between two contending threads and the
// uncontended enter/leave pair.
#include "hal_thread.h"

#include <benchmark/benchmark.h>

#include "hal_system.h"

#include <atomic>
#include <thread>

namespace {

// These measure the platform lock alone. When an earlier benchmark has booted
// the runtime, its main thread holds the lock and the host callbacks are
// installed: both step aside for the scope.
class RuntimeAside {
public:
    RuntimeAside() { HAL_setHostCallbacks(nullptr); }
    ~RuntimeAside() {
        HAL_reacquireVMLock(depth_);
        HAL_setHostCallbacks(&saved_);
    }
    RuntimeAside(const RuntimeAside&) = delete;
    RuntimeAside& operator=(const RuntimeAside&) = delete;

private:
    HAL_HostCallbacks saved_ = HAL_hostCallbacks();
    int depth_ = HAL_releaseVMLockFully();
};

// Two threads both hold out for the runtime lock and yield it to each other;
// each iteration is one round trip (two hand-overs).
void BM_YieldPingPong(benchmark::State& state) {
    RuntimeAside aside;
    std::atomic<bool> stop{false};
    std::atomic<bool> partnerIn{false};
    HAL_enterVMLock();
    std::thread partner([&] {
        HAL_enterVMLock();
        partnerIn = true;
        while (!stop.load(std::memory_order_relaxed)) HAL_yieldVMLock();
        HAL_leaveVMLock();
    });
    // Let the partner queue up, then make sure it holds the lock once.
    while (HAL_vmLockWaiterCount() == 0) std::this_thread::yield();
    while (!partnerIn.load()) HAL_yieldVMLock();

    for (auto _ : state) HAL_yieldVMLock();

    stop = true;
    HAL_leaveVMLock();
    partner.join();
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_YieldPingPong)->UseRealTime();

void BM_UncontendedEnterLeave(benchmark::State& state) {
    RuntimeAside aside;
    for (auto _ : state) {
        HAL_enterVMLock();
        HAL_leaveVMLock();
    }
}
BENCHMARK(BM_UncontendedEnterLeave);

void BM_NestedEnterLeave(benchmark::State& state) {
    RuntimeAside aside;
    HAL_enterVMLock();
    for (auto _ : state) {
        HAL_enterVMLock();
        HAL_leaveVMLock();
    }
    HAL_leaveVMLock();
}
BENCHMARK(BM_NestedEnterLeave);

}  // namespace
