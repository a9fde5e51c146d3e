// The UI services over the test data set. Targets at -O2:
//   BM_ResManagerLoadCachedPair   at most 1 us for one load of a cached image
//                                 and animation pair among 60 handed-out
//                                 slots (with its release)
//   BM_MyPointerUpdate20Events    at most 5 us for one touch update that takes
//                                 20 queued events (queueing included)
//   BM_UseFontAlternating         at most 0.2 us for one useFont, switching
//                                 between two loaded fonts each time
#include <benchmark/benchmark.h>

#include "VM.h"
#include "bench_support.h"
#include "com_ventrix_utility_MyFont.h"
#include "com_ventrix_utility_MyPointer.h"
#include "com_ventrix_utility_ResManager.h"
#include "hal_system.h"
#include "java_lang_Throwable.h"
#include "ts_Resources.h"
#include "ts_input_PointerInputEventManager.h"

#ifndef VESSILO_BENCH_TEST_FOLDER
#define VESSILO_BENCH_TEST_FOLDER ""
#endif

namespace benchuiservices {

using com::ventrix::utility::MyFont;
using com::ventrix::utility::MyPointer;
using com::ventrix::utility::ResManager;

constexpr jint kGobs = 16 * 1024 + 1, kAnim = 16 * 1024 + 3;
constexpr jint kFontSmall = 17 * 1024 + 1, kFontLarge = 17 * 1024 + 3;

// Runs f; false (and the benchmark skipped) when the test data set is missing.
template <typename F>
bool withData(benchmark::State& state, F f) {
    try {
        f();
        return true;
    } catch (java::lang::Throwable* t) {
        VMPtr<java::lang::Throwable> keep(t);
        state.SkipWithError("test data set missing");
        return false;
    }
}

void BM_ResManagerLoadCachedPair(benchmark::State& state) {
    benchBoot();
    HAL_setProgramDirectory(VESSILO_BENCH_TEST_FOLDER);
    ResManager::destroy();
    // 59 slots handed out and freed again (they are not reused), then the
    // pair in slot 59: every lookup walks all 60.
    if (!withData(state, [] {
            for (int i = 0; i < 60; ++i) {
                ResManager::load(kGobs, kAnim);
                if (i < 59) ResManager::release(ResManager::getFirstIndex(), ResManager::getSecondIndex());
            }
        }))
        return;
    for (auto _ : state) {
        ResManager::load(kGobs, kAnim);
        ResManager::release(ResManager::getFirstIndex(), ResManager::getSecondIndex());
    }
    if (ResManager::usedSlots != 60) state.SkipWithError("the pair was not found in the cache");
    ResManager::destroy();
    ts::Resources::unloadPack();
}
BENCHMARK(BM_ResManagerLoadCachedPair);

void BM_MyPointerUpdate20Events(benchmark::State& state) {
    benchBoot();
    using ts::input::PointerInputEventManager;
    VMPtr<MyPointer> pointer = MyPointer::getInstance();
    pointer->reset();
    MyPointer* p = pointer.get();
    for (auto _ : state) {
        PointerInputEventManager::addEvent(1, 100, 100);
        for (jint i = 1; i < 19; ++i) PointerInputEventManager::addEvent(2, 100, 100 + i);
        PointerInputEventManager::addEvent(3, 100, 120);
        p->update();
    }
    PointerInputEventManager::setEnabled(false);
}
BENCHMARK(BM_MyPointerUpdate20Events);

void BM_UseFontAlternating(benchmark::State& state) {
    benchBoot();
    HAL_setProgramDirectory(VESSILO_BENCH_TEST_FOLDER);
    MyFont::instance = nullptr;
    VMPtr<MyFont> font = MyFont::getInstance();
    VMPtr<VMArray<jint, 1>> ids = VMArray<jint, 1>::create(2);
    (*ids)[0] = kFontSmall;
    (*ids)[1] = kFontLarge;
    font->setFontResourceIds(ids);
    if (!withData(state, [&] {
            font->useFont(0);
            font->useFont(1);
        }))
        return;
    MyFont* f = font.get();
    jint n = 0;
    for (auto _ : state) f->useFont(n++ & 1);
    MyFont::instance = nullptr;
}
BENCHMARK(BM_UseFontAlternating);

}  // namespace benchuiservices
