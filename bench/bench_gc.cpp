// The collector: full collections over live heaps of small objects,
// allocation throughput of short-lived objects with the collections it
// causes, and marking a long chain.
#include <benchmark/benchmark.h>

#include "VM.h"
#include "VMArray.h"
#include "bench_support.h"

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

VM_REGISTER_CLASS(benchgc::Cell, .name = "bench.gc.Cell", .sourceName = "bench/bench_gc")

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

void fullCollection(benchmark::State& state, uint64_t bytes) {
    benchBoot();
    _VM_collect(_VM_runtime);
    const uint64_t before = _VM_heap.used;
    VMPtr<VMArray<Cell, 1>> live = buildLiveHeap(bytes);
    _VM_collect(_VM_runtime);
    const uint64_t liveBytes = _VM_heap.used - before;
    const size_t objects = _VM_heapCount(_VM_runtime);
    for (auto _ : state) _VM_collect(_VM_runtime);
    state.counters["live_MB"] = double(liveBytes) / (1 << 20);
    state.counters["heap_objects"] = double(objects);
    live = nullptr;
    _VM_collect(_VM_runtime);
}

// A full collection over 5 MB of live small objects. Target: at most 5 ms.
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
    const uint32_t collections = _VM_runtime->collectionCount;
    for (auto _ : state) {
        VMPtr<Object> object = Object::create();
        benchmark::DoNotOptimize(object.target);
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
    state.counters["object_bytes"] = double(sizeof(Object));
    state.counters["collections"] = double(_VM_runtime->collectionCount - collections);
    _VM_collect(_VM_runtime);
}
BENCHMARK(BM_AllocateShortLivedObjects);

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
