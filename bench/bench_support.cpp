#include "bench_support.h"

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdlib>

#include "vm_boot.h"

void benchBoot() { vmBootOnce(); }

namespace {

// The C library's own malloc and free, looked up in the C library itself: an
// allocator linked into the program replaces the ones found by name.
struct PlainAllocator {
    void* (*malloc)(size_t) = std::malloc;
    void (*free)(void*) = std::free;
    PlainAllocator() {
        if (void* libc = ::dlopen("libc.so.6", RTLD_NOW | RTLD_NOLOAD)) {
            auto* m = reinterpret_cast<void* (*)(size_t)>(::dlsym(libc, "malloc"));
            auto* f = reinterpret_cast<void (*)(void*)>(::dlsym(libc, "free"));
            if (m != nullptr && f != nullptr) {
                malloc = m;
                free = f;
            }
        }
    }
};
const PlainAllocator plain;

}  // namespace

void* benchPlainMalloc(size_t size) { return plain.malloc(size); }
void benchPlainFree(void* block) { plain.free(block); }

double benchMallocPairSeconds() {
    constexpr int kRounds = 5;
    constexpr int kPairs = 100000;
    double best = 1.0;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kPairs; ++i) {
            void* block = benchPlainMalloc(64);
            benchmark::DoNotOptimize(block);
            benchPlainFree(block);
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / kPairs);
    }
    return best;
}

namespace {

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

}  // namespace

MallocYardstick::MallocYardstick() : pair(benchMallocPairSeconds()), loopStart(now()) {}

void MallocYardstick::report(benchmark::State& state, int64_t itemsPerIteration) const {
    const double items = double(state.iterations()) * double(itemsPerIteration);
    state.counters["malloc_pair_ns"] = pair * 1e9;
    if (items > 0) state.counters["x_malloc"] = (now() - loopStart) / items / pair;
}
