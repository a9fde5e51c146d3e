// The collector: full collections over live heaps of small objects,
// allocation throughput of short-lived objects with the collections it
// causes, the longest pause an allocation sees, and marking a long chain.
// Each is read against a plain malloc/free pair measured in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include "VM.h"
#include "VMArray.h"
#include "bench_support.h"
#include "java_lang_Integer.h"

namespace benchgc {

// A small object with one reference field.
class Cell final : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Cell, java::lang::Object)

public:
    VMField<Cell> next;
    jint value = 0;

    void markReferences(uint32_t bits) override { _VM_markRef(next, bits); }
};

}  // namespace benchgc

VM_REGISTER_CLASS(benchgc::Cell, .name = "bench.gc.Cell")

namespace {

using benchgc::Cell;
using java::lang::Object;

constexpr int kChainLength = 16;

// Live data of about `bytes` accounted bytes: a root array of chains of 16
// cells each.
VMPtr<VMArray<Cell, 1>> buildLiveHeap(uint64_t bytes) {
    // Size one chain to know how many fit.
    uint64_t perChain = 0;
    {
        const uint64_t before = _VM_heap.used;
        VMPtr<Cell> head = Cell::create();
        for (int i = 1; i < kChainLength; ++i) {
            VMPtr<Cell> cell = Cell::create();
            cell->next = head;
            head = cell;
        }
        perChain = _VM_heap.used - before;
    }
    const jint chains = jint(bytes / perChain);
    VMPtr<VMArray<Cell, 1>> roots = VMArray<Cell, 1>::create(chains);
    for (jint c = 0; c < chains; ++c) {
        VMPtr<Cell> head = Cell::create();
        for (int i = 1; i < kChainLength; ++i) {
            VMPtr<Cell> cell = Cell::create();
            cell->next = head;
            head = cell;
        }
        roots->set(c, head);
    }
    return roots;
}

// The yardstick: one plain malloc/free pair of a 64-byte block (the C
// library's own).
void BM_PlainMallocFreePair(benchmark::State& state) {
    for (auto _ : state) {
        void* block = benchPlainMalloc(64);
        benchmark::DoNotOptimize(block);
        benchPlainFree(block);
    }
}
BENCHMARK(BM_PlainMallocFreePair);

void fullCollection(benchmark::State& state, uint64_t bytes) {
    benchBoot();
    _VM_collect(_VM_runtime);
    const uint64_t before = _VM_heap.used;
    VMPtr<VMArray<Cell, 1>> live = buildLiveHeap(bytes);
    _VM_collect(_VM_runtime);
    const uint64_t liveBytes = _VM_heap.used - before;
    const size_t objects = _VM_heapCount(_VM_runtime);
    MallocYardstick yardstick;
    for (auto _ : state) _VM_collect(_VM_runtime);
    state.counters["live_MB"] = double(liveBytes) / (1 << 20);
    state.counters["heap_objects"] = double(objects);
    // x_malloc: per live object.
    yardstick.report(state, int64_t(objects));
    live = nullptr;
    _VM_collect(_VM_runtime);
}

// A full collection over 5 MB of live small objects. Target: at most 1 ms.
void BM_FullCollection5MB(benchmark::State& state) { fullCollection(state, uint64_t(5) << 20); }
BENCHMARK(BM_FullCollection5MB)->Unit(benchmark::kMillisecond);

// The same over 50 MB.
void BM_FullCollection50MB(benchmark::State& state) { fullCollection(state, uint64_t(50) << 20); }
BENCHMARK(BM_FullCollection50MB)->Unit(benchmark::kMillisecond);

// Short-lived objects of the smallest kind (a java.lang.Object: the header
// alone), made and dropped at once; the collections that the allocator runs
// when the heap limit is reached are part of the cost.
void BM_AllocateShortLivedObjects(benchmark::State& state) {
    benchBoot();
    _VM_collect(_VM_runtime);
    MallocYardstick yardstick;
    const uint32_t collections = _VM_runtime->collectionCount;
    for (auto _ : state) {
        VMPtr<Object> object = Object::create();
        benchmark::DoNotOptimize(object.target);
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
    state.counters["object_bytes"] = double(sizeof(Object));
    state.counters["collections"] = double(_VM_runtime->collectionCount - collections);
    yardstick.report(state);
    _VM_collect(_VM_runtime);
}
// Target: at most 45 ns.
BENCHMARK(BM_AllocateShortLivedObjects);

// new Integer(i), dropped at once.
void BM_NewInteger(benchmark::State& state) {
    benchBoot();
    _VM_collect(_VM_runtime);
    MallocYardstick yardstick;
    jint i = 0;
    for (auto _ : state) {
        VMPtr<java::lang::Integer> boxed = java::lang::Integer::create()->construct(i++);
        benchmark::DoNotOptimize(boxed.target);
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
    yardstick.report(state);
    _VM_collect(_VM_runtime);
}
BENCHMARK(BM_NewInteger);

// The longest time a single allocation takes (the collections it runs
// included) while 3 million short-lived objects are made with 50 MB live.
// Target: at most 40 ms.
void BM_LongestAllocationPause50MBLive(benchmark::State& state) {
    benchBoot();
    _VM_collect(_VM_runtime);
    VMPtr<VMArray<Cell, 1>> live = buildLiveHeap(uint64_t(50) << 20);
    _VM_collect(_VM_runtime);
    MallocYardstick yardstick;
    using Clock = std::chrono::steady_clock;
    Clock::duration longest{};
    const uint32_t collections = _VM_runtime->collectionCount;
    for (auto _ : state) {
        for (int i = 0; i < 3000000; ++i) {
            const Clock::time_point start = Clock::now();
            VMPtr<Object> object = Object::create();
            const Clock::duration took = Clock::now() - start;
            benchmark::DoNotOptimize(object.target);
            longest = std::max(longest, took);
        }
    }
    const double longestSeconds = std::chrono::duration<double>(longest).count();
    state.counters["longest_pause_ms"] = longestSeconds * 1e3;
    state.counters["collections"] = double(_VM_runtime->collectionCount - collections);
    state.counters["malloc_pair_ns"] = yardstick.pairSeconds() * 1e9;
    state.counters["pause_x_malloc"] = longestSeconds / yardstick.pairSeconds();
    live = nullptr;
    _VM_collect(_VM_runtime);
}
BENCHMARK(BM_LongestAllocationPause50MBLive)->Iterations(1)->Unit(benchmark::kMillisecond);

// A collection that marks a chain of 300 000 cells (each reached only
// through the one before it).
void BM_MarkLongChain(benchmark::State& state) {
    benchBoot();
    VMPtr<Cell> head = Cell::create();
    for (int i = 1; i < 300000; ++i) {
        VMPtr<Cell> cell = Cell::create();
        cell->next = head;
        head = cell;
    }
    for (auto _ : state) _VM_collect(_VM_runtime);
    head = nullptr;
    _VM_collect(_VM_runtime);
}
BENCHMARK(BM_MarkLongChain)->Unit(benchmark::kMillisecond);

}  // namespace
