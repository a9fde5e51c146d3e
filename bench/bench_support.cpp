#include "bench_support.h"

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "hal_system.h"
#include "java_lang_String.h"
#include "java_lang_Throwable.h"
#include "vm_boot.h"

void benchBoot() { vmBootOnce(); }

void benchGuarded(benchmark::State& state, const std::function<void()>& body) {
    std::string failure;
    try {
        body();
    } catch (java::lang::Throwable* thrown) {
        VMPtr<java::lang::Throwable> keep(thrown);
        VMPtr<java::lang::String> description = keep->toString();
        failure = description == nullptr ? std::string("a runtime exception") : description->_VM_toStdString();
    } catch (const std::exception& e) {
        failure = e.what();
    }
    if (!failure.empty()) state.SkipWithError(("uncaught: " + failure).c_str());
}

bool benchUseGameFolder(benchmark::State& state) {
    const std::string folder = VESSILO_BENCH_PROGRAM_FOLDER;
    std::error_code error;
    if (std::filesystem::is_empty(folder + "rsc", error) || error) {
        state.SkipWithError(("the game's resources are missing from " + folder +
                             "rsc/ (the build's game_assets target makes them)")
                                .c_str());
        return false;
    }
    HAL_setProgramDirectory(folder.c_str());
    return true;
}

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
