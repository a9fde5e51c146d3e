// The framework canvas. Targets at -O2:
//   BM_FramePeriod40         the frame period averages 40 +- 0.5 ms over 10 s
//   BM_KeyEntryAndLatch      at most 200 ns for one key entry and one latch
//   BM_LoadLevel             at most 3 ms for a 200 x 100 map and 1,000 objects
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "VM.h"
#include "bench_support.h"
#include "bit_writer.h"
#include "hal_thread.h"
#include "ts_TsCanvas.h"

namespace benchts {

using Clock = std::chrono::steady_clock;

class BenchCanvas : public ts::TsCanvas {
    VM_DECLARE_CLASS(BenchCanvas, ts::TsCanvas)

public:
    std::vector<Clock::time_point> ticks;
    jlong sum = 0;

    VMPtr<BenchCanvas> construct() {
        Super::construct(nullptr);
        return this;
    }
    void onEvent(jint event) override {
        if (event == EVENT_START) setFrameTime(40);
        Super::onEvent(event);
    }
    void tick() override { ticks.push_back(Clock::now()); }
    void paintGame(VMPtr<javax::microedition::lcdui::Graphics> g) override { g->fillRect(0, 0, 16, 16); }
    void levelMapCell(jint x, jint y, jint tile) override { sum += x + y + tile; }
    void levelObjectGroup(jint type, jint count) override { sum += type + count + levelReadBits(4); }
    void levelObject(jint type, jint x, jint y) override { sum += type + x + y + levelReadBits(8); }
};

// Lets the canvas thread run until it has ended.
void stop(const VMPtr<BenchCanvas>& canvas) {
    canvas->postEvent(ts::TsCanvas::EVENT_EXIT);
    for (int i = 0; i < 1000 && canvas->thread->isAlive(); ++i) VMThread::sleep(VMThread::current(), 1);
}

void BM_FramePeriod40(benchmark::State& state) {
    benchBoot();
    for (auto _ : state) {
        VMPtr<BenchCanvas> canvas = BenchCanvas::create()->construct();
        canvas->showNotify();
        // The test thread sleeps (and so gives up the runtime lock) while the
        // canvas runs.
        VMThread::sleep(VMThread::current(), 10500);
        stop(canvas);
        // The first frames start the loop; the rest are measured.
        const auto& t = canvas->ticks;
        if (t.size() > 12) {
            const double ms = std::chrono::duration<double, std::milli>(t.back() - t[10]).count();
            state.counters["period_ms"] = ms / double(t.size() - 11);
            state.counters["frames"] = double(t.size() - 11);
        }
    }
}
BENCHMARK(BM_FramePeriod40)->Iterations(1)->Unit(benchmark::kSecond);

void BM_KeyEntryAndLatch(benchmark::State& state) {
    benchBoot();
    VMPtr<BenchCanvas> canvas = BenchCanvas::create()->construct();
    stop(canvas);  // no frame loop waiting on the monitor
    bool down = false;
    for (auto _ : state) {
        down = !down;
        if (down)
            canvas->keyPressed(-1);
        else
            canvas->keyReleased(-1);
        canvas->latchInput();
        benchmark::DoNotOptimize(canvas->isKeyHeld(1));
    }
}
BENCHMARK(BM_KeyEntryAndLatch);

// A level of a 200 x 100 map over 64 tiles and 1,000 objects in ten groups,
// whose callbacks read 4 bits a group and 8 an object.
std::vector<uint8_t> benchLevel() {
    BitWriter out;
    out.put(8, 0x80);
    out.put(1, 1).put(10, 7).put(6, 0);
    out.put(1, 1).put(8, 1).put(12, 8).put(17, 1234).put(10, 32).put(10, 32).put(1, 0).put(12, 64);
    for (uint32_t t = 0; t < 64; ++t) out.put(1, 0).put(12, t % 8).put(12, t / 8);
    out.put(6, 0);
    out.put(1, 1).put(12, 200).put(12, 100);
    for (uint32_t cell = 0; cell < 200 * 100; ++cell) out.put(12, cell * 7 % 65);
    out.put(1, 1).put(10, 10);
    for (uint32_t g = 0; g < 10; ++g) {
        out.put(10, g).put(12, 100).put(16, 0).put(16, 0).put(16, 200).put(5, 8);
        for (uint32_t i = 0; i < 100; ++i) out.put(8, 1 + i % 200);
        out.put(4, g);
        for (uint32_t i = 0; i < 100; ++i) out.put(8, i);
        out.put(6, 0);
    }
    return out.bytes();
}

void BM_LoadLevel(benchmark::State& state) {
    benchBoot();
    VMPtr<BenchCanvas> canvas = BenchCanvas::create()->construct();
    stop(canvas);
    const std::vector<uint8_t> level = benchLevel();
    VMPtr<VMArray<jbyte, 1>> data = VMArray<jbyte, 1>::create(jint(level.size()));
    std::memcpy(data->elements(), level.data(), level.size());
    for (auto _ : state) {
        if (!canvas->loadLevel(data)) state.SkipWithError("the level did not read whole");
    }
    benchmark::DoNotOptimize(canvas->sum);
}
BENCHMARK(BM_LoadLevel)->Unit(benchmark::kMillisecond);

}  // namespace benchts

VM_REGISTER_CLASS(benchts::BenchCanvas, .name = "benchts.BenchCanvas")
