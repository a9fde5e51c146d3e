// The object runtime's hot paths: local references, the allocator, thin
// monitors and the class-initialisation check.
#include <benchmark/benchmark.h>

#include "VM.h"
#include "bench_support.h"

namespace {

using java::lang::Object;

// A local reference constructed and destroyed: a push and a pop on the
// current stack list. Target: at most 2 ns.
void BM_LocalRefConstructDestroy(benchmark::State& state) {
    benchBoot();
    VMPtr<Object> object = Object::create();
    for (auto _ : state) {
        VMPtr<Object> local(object);
        benchmark::DoNotOptimize(local.target);
    }
}
BENCHMARK(BM_LocalRefConstructDestroy);

// The floor for the one above, in the same run: a bare node (link and
// target, no scope, no checks) pushed on and popped off a list reached
// through a global word.
struct RawLocal {
    RawLocal* link;
    void* target;
    static inline RawLocal* head = nullptr;
    static inline RawLocal** list = nullptr;  // the current list, like the runtime's

    explicit RawLocal(void* object) : target(object) {
        RawLocal** l = list;
        link = *l;
        *l = this;
    }
    ~RawLocal() { *list = link; }
};

void BM_RawPointerPushPop(benchmark::State& state) {
    benchBoot();
    VMPtr<Object> object = Object::create();
    RawLocal::list = &RawLocal::head;
    benchmark::DoNotOptimize(RawLocal::list);
    for (auto _ : state) {
        RawLocal local(object.get());
        benchmark::DoNotOptimize(local.target);
    }
}
BENCHMARK(BM_RawPointerPushPop);

// _VM_alloc + _VM_free of a 32-byte counted block (zero fill and accounting
// included). Target: at most 40 ns.
void BM_AllocFree32(benchmark::State& state) {
    benchBoot();
    for (auto _ : state) {
        void* block = _VM_alloc(32, 1);
        benchmark::DoNotOptimize(block);
        _VM_free(block);
    }
}
BENCHMARK(BM_AllocFree32);

// An uncontended monitor enter and exit: the monitor stays thin (a few word
// stores each way, no platform lock). Target: at most 10 ns.
void BM_ThinMonitorEnterExit(benchmark::State& state) {
    benchBoot();
    VMPtr<Object> object = Object::create();
    Object* header = object.get();
    for (auto _ : state) {
        _VM_lock(header);
        _VM_unlock(header);
        benchmark::ClobberMemory();
    }
    if (header->_VM_inflated != nullptr) state.SkipWithError("the monitor inflated");
}
BENCHMARK(BM_ThinMonitorEnterExit);

// The check before every use of a class's statics, on an initialised class:
// two compares of the init state, no lock. Target: at most 1 ns.
void BM_EnsureInitializedFastPath(benchmark::State& state) {
    benchBoot();
    java::lang::Class* record = Object::_VM_classRecord;
    for (auto _ : state) {
        benchmark::DoNotOptimize(record);
        _VM_ensureInitialized(record);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EnsureInitializedFastPath);

}  // namespace
