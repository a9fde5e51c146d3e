// Sprites. Targets at -O2:
//   BM_LoadAnimSet             at most 0.5 ms for 150 frames, 600 parts, 300
//                              boxes and 40 animations through the pack
//   BM_PaintSprites300         at most 6 ms for 300 sprites of 32 x 32 with
//                              per-pixel alpha over the 480 x 640 screen
//   BM_AnimPlayerUpdate1000    at most 50 us for 1,000 updates
//   BM_CollidesWithPlayer10000 at most 2 ms for 10,000 tests, four boxes each
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "VM.h"
#include "bench_support.h"
#include "hal_screen.h"
#include "java_io_ByteArrayInputStream.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "ts_AnimPlayer.h"
#include "ts_AnimSet.h"
#include "ts_Resources.h"

namespace {

// 40 animations of 5 steps; 150 frames of 4 parts (600) and 2 boxes (300);
// 8 durations.
std::vector<uint8_t> bigSet() {
    AnimSetWriter w;
    const int animations = 40, stepsEach = 5, frames = 150;
    w.byte(0);
    w.u16(animations);
    for (int a = 0; a < animations; ++a) w.count(stepsEach);
    for (int a = 0; a < animations; ++a) w.value(a % 3 == 0 ? -1 : a % 5 + 1);
    const int steps = animations * stepsEach;
    for (int k = 0; k < steps; ++k) w.count(k % 8 | (k % 4) << 6 | (k % 7 == 0 ? 1 << 8 : 0));
    for (int k = 0; k < steps; ++k) w.count(k % frames);
    for (int k = 0; k < steps; ++k) w.value(k % 5 * 60 - 120);
    for (int k = 0; k < steps; ++k) w.value(k % 3 * 2);
    w.u16(frames);
    for (int f = 0; f < frames; ++f) w.count(4);
    for (int k = 0; k < frames * 4; k += 4) w.count(0x1B);
    for (int k = 0; k < frames * 4; ++k) w.count(k % 6);
    for (int k = 0; k < frames * 4; ++k) w.value(k % 9 * 20 - 80);
    for (int k = 0; k < frames * 4; ++k) w.value(k % 4 * 3);
    for (int f = 0; f < frames; ++f) w.count(2);
    for (int k = 0; k < frames * 2; ++k) w.value(k % 2 ? -16 : -200);
    for (int k = 0; k < frames * 2; ++k) w.value(-32);
    for (int k = 0; k < frames * 2; ++k) w.count(32 + k % 300);
    for (int k = 0; k < frames * 2; ++k) w.count(32);
    for (int k = 0; k < frames * 2; ++k) w.count(k % 4 | (k % 2) << 5);
    w.u16(8);
    for (int d = 0; d < 8; ++d) w.count(40 + 60 * d);
    return w.b;
}

VMPtr<VMBytes> bytesOf(const std::vector<uint8_t>& raw) {
    VMPtr<VMBytes> a = VMBytes::create(jint(raw.size()));
    for (size_t i = 0; i < raw.size(); ++i) (*a)[jint(i)] = jbyte(raw[i]);
    return a;
}

// A sprite of size x size whose pixels carry their own alpha: a soft disc.
VMPtr<ts::Gob> alphaSprite(jint size) {
    VMPtr<VMArray<jint, 1>> px = VMArray<jint, 1>::create(size * size);
    for (jint y = 0; y < size; ++y)
        for (jint x = 0; x < size; ++x) {
            const jint dx = 2 * x - size + 1, dy = 2 * y - size + 1, d = dx * dx + dy * dy, r = size * size;
            const uint32_t a = d < r / 2 ? 255u : d < r ? uint32_t(255 * (r - d) / (r - r / 2)) : 0u;
            (*px)[y * size + x] = jint(a << 24 | uint32_t(x * 8) << 16 | uint32_t(y * 8) << 8 | 0x60);
        }
    VMPtr<ts::Gob> gob = ts::Gob::createFromRGB(px, size, size, true);
    gob->offsetX = gob->offsetY = jshort(-size / 2);
    return gob;
}

// A set of one frame with four boxes and an endless animation of four steps
// moving right and back, two of them interpolated.
VMPtr<ts::AnimSet> playerSet() {
    AnimSetWriter w;
    w.byte(0);
    w.u16(1);
    w.count(4);
    w.value(-1);
    for (int k = 0; k < 4; ++k) w.count(0 | (k % 2 ? 1 << 8 : 0));  // duration index 0 (60 ms), odd steps interpolated
    for (int k = 0; k < 4; ++k) w.count(0);
    for (int k : {0, 10, 20, 10}) w.value(k);
    for (int k = 0; k < 4; ++k) w.value(0);
    w.u16(1);
    w.count(0);
    w.count(4);
    for (int x : {-16, 0, -16, 0}) w.value(x);
    for (int y : {-16, -16, 0, 0}) w.value(y);
    for (int k = 0; k < 4; ++k) w.count(15);
    for (int k = 0; k < 4; ++k) w.count(15);
    for (int k = 0; k < 4; ++k) w.count(k | (k == 3 ? 32 : 0));
    w.u16(1);
    w.count(60);
    return ts::AnimSet::loadAnimSet(0, java::io::DataInputStream::create()->construct(
                                           java::io::ByteArrayInputStream::create()->construct(bytesOf(w.b))));
}

void BM_LoadAnimSet(benchmark::State& state) {
    benchBoot();
    VMPtr<VMArray<jbyte, 2>> resources = VMArray<jbyte, 2>::create(1);
    resources->set(0, bytesOf(bigSet()));
    VMPtr<VMBytes> pack = ts::Resources::buildPackBytes(resources, VMBytes::create(1));
    ts::Resources::loadPack(
        java::io::DataInputStream::create()->construct(java::io::ByteArrayInputStream::create()->construct(pack)));
    for (auto _ : state) {
        VMPtr<ts::AnimSet> set = ts::Resources::getAnimSet(0);
        if (set->durations == nullptr) state.SkipWithError("the set did not load whole");
        benchmark::DoNotOptimize(set.get());
    }
    ts::Resources::unloadPack();
}
BENCHMARK(BM_LoadAnimSet)->Unit(benchmark::kMicrosecond);

void BM_PaintSprites300(benchmark::State& state) {
    benchBoot();
    HAL_ScreenBuffer* buffer = hal::createScreenBuffer(480, 640);
    {
        VMPtr<javax::microedition::lcdui::Graphics> g = javax::microedition::lcdui::Graphics::forScreenBuffer(buffer);
        VMPtr<ts::Gob> sprite = alphaSprite(32);
        for (auto _ : state) {
            for (jint i = 0; i < 300; ++i) sprite->paint(g, (i * 37) % 500 - 10, (i * 53) % 660 - 10, i & 7);
        }
    }
    HAL_deleteScreenBuffer(buffer);
}
BENCHMARK(BM_PaintSprites300)->Unit(benchmark::kMillisecond);

void BM_AnimPlayerUpdate1000(benchmark::State& state) {
    benchBoot();
    VMPtr<ts::AnimPlayer> player = ts::AnimPlayer::create()->construct();
    player->setAnimSet(playerSet());
    player->setAnimation(0);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) benchmark::DoNotOptimize(player->update(40));
    }
}
BENCHMARK(BM_AnimPlayerUpdate1000)->Unit(benchmark::kMicrosecond);

void BM_CollidesWithPlayer10000(benchmark::State& state) {
    benchBoot();
    VMPtr<ts::AnimSet> set = playerSet();
    VMPtr<ts::AnimPlayer> a = ts::AnimPlayer::create()->construct();
    VMPtr<ts::AnimPlayer> b = ts::AnimPlayer::create()->construct();
    for (const VMPtr<ts::AnimPlayer>& p : {a, b}) {
        p->setAnimSet(set);
        p->setAnimation(0);
    }
    jint hits = 0;
    for (auto _ : state) {
        for (jint i = 0; i < 10000; ++i) {
            b->setX(i % 80 - 40);
            b->setTransform(i & 7);
            hits += a->collidesWithPlayer(b);
        }
    }
    benchmark::DoNotOptimize(hits);
}
BENCHMARK(BM_CollidesWithPlayer10000)->Unit(benchmark::kMicrosecond);

}  // namespace
