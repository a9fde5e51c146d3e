// Benchmark support: a booted runtime for benchmarks that need one, and the
// plain malloc/free pair that allocation benchmarks are read against.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Boots the runtime once per process (later calls do nothing). The calling
// thread becomes the runtime's main thread and keeps the runtime lock, so
// benchmarks that use the runtime must run on the thread that booted it.
void benchBoot();

// Runs a benchmark's body; an exception escaping it (the runtime's or C++'s)
// fails that benchmark with its text instead of ending the program, so the
// benchmarks after it still run.
void benchGuarded(benchmark::State& state, const std::function<void()>& body);

// Makes the build's folder, where the game's generated rsc/ lies, the
// program folder; false (the benchmark failed with a message saying what to
// build) when the game's resources are missing.
bool benchUseGameFolder(benchmark::State& state);

// The C library's own malloc and free (glibc's, also when the program links
// another allocator): the yardstick that allocation benchmarks are read
// against.
void* benchPlainMalloc(size_t size);
void benchPlainFree(void* block);

// The time of one plain malloc/free pair of a 64-byte block, measured now
// (the best of a few short rounds), in seconds.
double benchMallocPairSeconds();

// Measures the malloc/free pair when made, right before the benchmark's loop
// (the loop's own time is taken from then on), and reports beside the
// benchmark's time:
//   malloc_pair_ns  the pair's time in this run,
//   x_malloc        the time of one item (an iteration holds `items` of them)
//                   as a multiple of that pair,
// so the figures can be compared across machines.
class MallocYardstick {
public:
    MallocYardstick();
    void report(benchmark::State& state, int64_t itemsPerIteration = 1) const;
    double pairSeconds() const { return pair; }

private:
    double pair;
    double loopStart;
};

// The bytes of an animation set: counts and signed values take one byte, or
// an escape byte and 16 bits.
struct AnimSetWriter {
    std::vector<uint8_t> b;
    void byte(int v) { b.push_back(uint8_t(v)); }
    void u16(int v) { byte(v >> 8), byte(v); }
    void count(int v) { v < 255 ? byte(v) : (byte(255), u16(v)); }
    void value(int v) { v >= -127 && v <= 127 ? byte(v) : (byte(0x80), u16(v)); }
};
