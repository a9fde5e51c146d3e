#include "bench_support.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "vm_boot.h"

void benchBoot() { vmBootOnce(); }

double benchMallocPairSeconds() {
    constexpr int kRounds = 5;
    constexpr int kPairs = 100000;
    double best = 1.0;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kPairs; ++i) {
            void* block = std::malloc(64);
            benchmark::DoNotOptimize(block);
            std::free(block);
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / kPairs);
    }
    return best;
}

namespace {

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

MallocYardstick::MallocYardstick() : pair(benchMallocPairSeconds()), loopStart(now()) {}

void MallocYardstick::report(benchmark::State& state, int64_t itemsPerIteration) const {
    const double items = double(state.iterations()) * double(itemsPerIteration);
    state.counters["malloc_pair_ns"] = pair * 1e9;
    if (items > 0) state.counters["x_malloc"] = (now() - loopStart) / items / pair;
}
