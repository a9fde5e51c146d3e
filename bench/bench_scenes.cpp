// Scenes and screen objects. Targets at -O2:
//   BM_SceneUpdateAndPaint200  at most 0.3 ms for one update and one paint of a
//                              scene of 200 objects with trivial bodies
//   BM_SortPaintOrder200       at most 0.2 ms to sort 200 objects whose layers
//                              fall with their index
//   BM_ScreenUpdateAndPaint10  at most 0.3 ms for one update and one paint of a
//                              screen object of 10 animation slots
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "VM.h"
#include "bench_support.h"
#include "com_ventrix_common_CommonCanvas.h"
#include "com_ventrix_common_Main.h"
#include "com_ventrix_ui_Scene.h"
#include "com_ventrix_ui_Screen.h"
#include "hal_thread.h"
#include "java_io_ByteArrayInputStream.h"
#include "java_io_DataInputStream.h"
#include "javax_microedition_lcdui_Image.h"
#include "ts_AnimPlayer.h"
#include "ts_AnimSet.h"
#include "ts_Gob.h"

namespace benchscenes {

using javax::microedition::lcdui::Graphics;

class TrivialObject : public com::ventrix::utility::MyObject {
    VM_DECLARE_CLASS(TrivialObject, com::ventrix::utility::MyObject)

public:
    jint updates = 0;
    VMPtr<TrivialObject> construct(jint objectLayer) {
        Super::construct();
        layer = objectLayer;
        return this;
    }
    void release() override {}
    void update(jint, jint) override { ++updates; }
    void paint(VMPtr<Graphics>) override {}
    void reset() override {}
};

class TrivialScene : public com::ventrix::ui::Scene {
    VM_DECLARE_CLASS(TrivialScene, com::ventrix::ui::Scene)

public:
    VMPtr<TrivialScene> construct() {
        Super::construct();
        return this;
    }
    void loadStage0() override {}
    void loadStage1() override {}
    void loadStage2() override {}
    void paintScene(VMPtr<Graphics>) override {}
};

}  // namespace benchscenes

VM_REGISTER_CLASS(benchscenes::TrivialObject, .name = "benchscenes.TrivialObject")
VM_REGISTER_CLASS(benchscenes::TrivialScene, .name = "benchscenes.TrivialScene")

namespace benchscenes {
namespace {

// A game canvas whose frame loop is stopped, as Main's canvas.
VMPtr<com::ventrix::common::CommonCanvas> stoppedCanvas() {
    using com::ventrix::common::CommonCanvas;
    VMPtr<CommonCanvas> canvas = CommonCanvas::create()->construct(nullptr);
    canvas->postEvent(ts::TsCanvas::EVENT_EXIT);
    for (int i = 0; i < 1000 && canvas->thread->isAlive(); ++i) VMThread::sleep(VMThread::current(), 1);
    canvas->setFrameTime(40);
    _VM_ensureInitialized(com::ventrix::common::Main::_VM_classRecord);
    com::ventrix::common::Main::canvas = canvas;
    return canvas;
}

VMPtr<TrivialScene> sceneOf(jint objects, bool reversed) {
    VMPtr<TrivialScene> scene = TrivialScene::create()->construct();
    scene->startLoading(-1);
    for (jint i = 0; i < objects; ++i)
        scene->addObject(TrivialObject::create()->construct(reversed ? objects - i : i % 80));
    scene->init();
    return scene;
}

void BM_SceneUpdateAndPaint200(benchmark::State& state) {
    benchBoot();
    VMPtr<com::ventrix::common::CommonCanvas> canvas = stoppedCanvas();
    VMPtr<TrivialScene> scene = sceneOf(200, false);
    VMPtr<Graphics> g = javax::microedition::lcdui::Image::createImage(480, 640)->getGraphics();
    for (auto _ : state) {
        scene->update();
        scene->paint(g);
    }
    com::ventrix::common::Main::canvas = nullptr;
}
BENCHMARK(BM_SceneUpdateAndPaint200)->Unit(benchmark::kMicrosecond);

void BM_SortPaintOrder200(benchmark::State& state) {
    benchBoot();
    VMPtr<TrivialScene> scene = sceneOf(200, true);
    for (auto _ : state) {
        scene->sortPaintOrder();
        benchmark::DoNotOptimize((*scene->paintOrder)[0]);
    }
}
BENCHMARK(BM_SortPaintOrder200)->Unit(benchmark::kMicrosecond);

// One frame of one 24 x 24 part with a box, and an endless animation of two
// steps in place.
VMPtr<ts::AnimSet> spriteSet() {
    AnimSetWriter w;
    w.byte(0);
    w.u16(1);
    w.count(2);
    w.value(-1);
    for (int k = 0; k < 2; ++k) w.count(0);
    for (int k = 0; k < 2; ++k) w.count(0);
    for (int k = 0; k < 2; ++k) w.value(0);
    for (int k = 0; k < 2; ++k) w.value(0);
    w.u16(1);
    w.count(1);
    w.count(0);
    w.count(0);
    w.value(-12);
    w.value(-12);
    w.count(1);
    w.value(-12);
    w.value(-12);
    w.count(24);
    w.count(24);
    w.count(1);
    w.u16(1);
    w.count(40);
    VMPtr<VMArray<jbyte, 1>> bytes = VMArray<jbyte, 1>::create(jint(w.b.size()));
    for (size_t i = 0; i < w.b.size(); ++i) (*bytes)[jint(i)] = jbyte(w.b[i]);
    VMPtr<ts::AnimSet> set = ts::AnimSet::loadAnimSet(
        0, java::io::DataInputStream::create()->construct(java::io::ByteArrayInputStream::create()->construct(bytes)));
    VMPtr<VMArray<jint, 1>> px = VMArray<jint, 1>::create(24 * 24);
    for (jint i = 0; i < px->length; ++i) (*px)[i] = jint(0xFF000000u | uint32_t(i * 977));
    VMPtr<VMArray<ts::Gob, 1>> gobs = VMArray<ts::Gob, 1>::create(1);
    gobs->set(0, ts::Gob::createFromRGB(px, 24, 24, false));
    set->setGobs(gobs);
    return set;
}

void BM_ScreenUpdateAndPaint10(benchmark::State& state) {
    benchBoot();
    VMPtr<ts::AnimSet> set = spriteSet();
    if (set->durations == nullptr || set->getPartCount(0) != 1) {
        state.SkipWithError("the sprite set did not load whole");
        return;
    }
    // The slots are bound by hand: the players need no resource cache.
    VMPtr<com::ventrix::ui::Screen> screen = com::ventrix::ui::Screen::create()->construct();
    screen->setSlotCapacity(10);
    for (jint i = 0; i < 10; ++i) {
        VMPtr<ts::AnimPlayer> player = ts::AnimPlayer::create()->construct();
        player->setAnimSet(set);
        player->setAnimation(0);
        player->setX(40 + 40 * i);
        player->setY(100 + 30 * i);
        screen->players->set(i, player);
        screen->paintables->set(i, player);
    }
    screen->setSlotCount(10);
    VMPtr<VMArray<jint, 1>> clip = VMArray<jint, 1>::create(4);
    (*clip)[0] = 150, (*clip)[1] = 180, (*clip)[2] = 12, (*clip)[3] = 12;
    screen->setSlotClip(3, clip);  // one slot clipped
    com::ventrix::utility::MyObject::frameTime = 40;
    VMPtr<javax::microedition::lcdui::Image> image = javax::microedition::lcdui::Image::createImage(480, 640);
    VMPtr<Graphics> g = image->getGraphics();
    for (auto _ : state) {
        screen->update(0, 0);
        screen->paint(g);
    }
    VMPtr<VMArray<jint, 1>> pixel = VMArray<jint, 1>::create(1);
    image->getRGB(pixel, 0, 1, 400, 370, 1, 1);  // inside the last sprite
    if (uint32_t((*pixel)[0]) == 0xFFFFFFFFu) state.SkipWithError("the sprites were not drawn");
}
BENCHMARK(BM_ScreenUpdateAndPaint10)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace benchscenes
